{ IND_base.s: fuente base de un bloque de secuencia independiente.     }
{ Se copia en lugar del ".s" de un bloque IND cuyo fuente no existe;   }
{ complete la logica de la secuencia antes de compilarla.              }

INDEPENDENT_SEQUENCE

CONSTANTS

VARIABLES
  paso : INTEGER;
ENDVARIABLES

USER_LABELS

STATEMENTS

  paso := 0;
  EXIT;

ENDSEQUENCE
