select /* x */ "NUM" -- y
 from ROM r where r.NUM <> 1 and r.OBS like 'a%'