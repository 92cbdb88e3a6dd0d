select *
from student

