library TimerPool initializer init requires optional Table
    globals
        private constant boolean USE_HASH = true
        private constant real TIMEOUT = .03125
        private hashtable HT = InitHashtable()
        private timer array stack
        private integer count = 0
        debug private integer peak = 0
    endglobals

    function NewTimerEx takes integer data returns timer
        local timer t
        if count == 0 then
            set t = CreateTimer()
        else
            set count = count - 1
            set t = stack[count]
        endif
        static if USE_HASH then
            call SaveInteger(HT, 0, GetHandleId(t), data)
        endif
        debug call BJDebugMsg("new timer " + I2S(GetHandleId(t)))
        return t
    endfunction

    function NewTimer takes nothing returns timer
        return NewTimerEx(0)
    endfunction

    function ReleaseTimer takes timer t returns nothing
        if t == null then
            debug call BJDebugMsg("null timer")
            return
        endif
        call PauseTimer(t)
        set stack[count] = t
        set count = count + 1
    endfunction

    private function init takes nothing returns nothing
        local integer i = 0
        loop
            exitwhen (i >= 10)
            set stack[i] = CreateTimer()
            set i = i + 1
        endloop
        set count = i
    endfunction
endlibrary

hook RemoveUnit Missile.onRemove
//! textmacro_once DEFINE takes X
globals
    integer $X$ = 0
endglobals
//! endtextmacro
//! runtextmacro DEFINE("Foo")
