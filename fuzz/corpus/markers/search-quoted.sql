select *
from student
where Lname like '%O''Neil%'
order by Lname desc