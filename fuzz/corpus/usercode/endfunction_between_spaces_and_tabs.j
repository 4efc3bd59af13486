function T takes nothing returns nothing
 	 endfunction	 
after
