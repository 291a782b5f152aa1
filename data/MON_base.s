{ MON_base.s: fuente base de un bloque monitor.                        }
{ Se copia en lugar del ".s" de un bloque MON cuyo fuente no existe;   }
{ defina las condiciones vigiladas antes de compilarlo.                }

MONITOR

CONSTANTS

VARIABLES
ENDVARIABLES

CONDITIONS

  { CND0001 := condicion; }

ENDMONITOR
