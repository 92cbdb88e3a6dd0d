insert into vselenie(id_zach, Id_room)
VALUES ( :D2, :D1)