insert into platej(Id_zach, Kashier_fname, Month_oplat, Summ)
values ('20571', 'Иванова', 'Январь', '500')
