select id_room, korpus, kol_mest
from room r
where not exists (select *  from vselenie vs where r.id_room=vs.Id_room)
 