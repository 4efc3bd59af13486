function A
call O("
function"+I(