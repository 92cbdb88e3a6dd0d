select * from student where Fname = 'a\' -- it's :not
 and Kurs = :k
 and Id_zach=:id)