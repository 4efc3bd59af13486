// Комментарий с неразрывным пробелом
function Ёж takes nothing returns nothing
 call ECHO("Привет")
endfunction
