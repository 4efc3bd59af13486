//! import "lib.j"
//! external ObjectMerger w3u hfoo hF00
//! zinc
library Z requires TimerPool {
    function onInit() { integer i; for (0 <= i < 10) { BJDebugMsg(I2S(i)); } }
}
//! endzinc
//! novjass
native Junk takes nothing returns nothing
    this is not code " at all
//! endnovjass
//! inject main
    call InitBlizzard()
    //! dovjassinit
//! endinject
interface Shape
    method area takes nothing returns real defaults 0.
    method name takes nothing returns string defaults nothing
endinterface
struct Circle extends Shape
    static if DEBUG_MODE then
        integer checks
    else
        integer spare
    endif
    method area takes nothing returns real
        debug call BJDebugMsg("area")
        return 3.14 * .r * .r
    endmethod
endstruct
function interface Callback takes integer x returns nothing
keyword Later
