{ EXC_base.s: fuente base de un bloque de secuencia de excepcion.      }
{ Se copia en lugar del ".s" de un bloque EXC cuyo fuente no existe;   }
{ complete el tratamiento de la excepcion antes de compilarlo.         }

EXCEPTION_SEQUENCE

CONSTANTS

VARIABLES
ENDVARIABLES

USER_LABELS

STATEMENTS

  EXIT;

ENDSEQUENCE
