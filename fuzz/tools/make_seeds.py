#!/usr/bin/env python3
"""Writes the hand-made seed inputs of fuzz/corpus/. Run from anywhere; it
rewrites only the files it names (the regressions folders are left alone).
Files are Windows-1251 with CR LF line ends unless a seed says otherwise."""
import os
import pathlib

ROOT = pathlib.Path(__file__).resolve().parent.parent / "corpus"
REPO = ROOT.parent.parent


def write(target, name, data):
    folder = ROOT / target
    folder.mkdir(parents=True, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("cp1251")
    (folder / name).write_bytes(data)


def crlf(*lines):
    return "".join(line + "\r\n" for line in lines)


KEY = "FMVELLVERSIONKEY2.1"


def button(name, x=0, y=0, w=32, h=32, tex="B000", vis="true", left="", right="",
           lacts=(), racts=()):
    return [name, str(x), str(y), str(w), str(h), tex, vis, left, right,
            str(len(lacts)), *lacts, str(len(racts)), *racts]


def picture(name, x=0, y=0, w=32, h=32, tex="B000", vis="true"):
    return [name, str(x), str(y), str(w), str(h), tex, vis]


def text(name, x=0, y=0, txt="Текст", vis="true", color=""):
    return [name, str(x), str(y), txt, vis, color]


def project(buttons=(), pictures=(), texts=(), usercode=None):
    lines = [KEY, "btncount:%d" % len(buttons)]
    for b in buttons:
        lines += b
    lines.append("piccount:%d" % len(pictures))
    for p in pictures:
        lines += p
    lines.append("texcount:%d" % len(texts))
    for t in texts:
        lines += t
    if usercode is not None:
        lines += ["/usercodestart", *usercode, "/end"]
    return lines


ECHO = ["function ECHO takes string msg returns nothing",
        " call DisplayTextToPlayer(GetLocalPlayer(),1,1,msg)",
        "endfunction"]


def project_seeds():
    t = "projectfile"
    # The designs of the generator's golden cases, as project files.
    write(t, "mixed_design_with_user_code.vlp", crlf(*project(
        buttons=[button("Button_1", left="Button_1_Left_Actions")],
        pictures=[picture("Picture_1", 100, -50, 64, 32, "B001", "false")],
        texts=[text("Text_1", -100, 120, "Hello", "true", "clRed")],
        usercode=ECHO + ["function Button_1_Left_Actions takes nothing returns nothing",
                         ' call ECHO("Hi")', "endfunction"])))
    write(t, "hidden_button_and_picture.vlp", crlf(*project(
        buttons=[button("Button_1", 10, -20, 40, 24, "BHID", "false")],
        pictures=[picture("Picture_1", -200, 100, 50, 30, "PHID", "false")])))
    write(t, "odd_width_button.vlp", crlf(*project(
        buttons=[button("Button_1", 0, 0, 33, 32, "B033"), button("Button_2", 0, 0, 32, 32, "B032")])))
    write(t, "system_colour_names_in_any_case.vlp", crlf(*project(
        texts=[text("Text_1", 0, 0, "Face", "true", "clBtnFace"),
               text("Text_2", -7, 3, "Window text", "true", "CLWINDOWTEXT")])))
    write(t, "texts_without_colour_and_empty_text.vlp", crlf(*project(
        texts=[text("Text_1", 50, -30, "Score: 10"), text("Text_2", 0, 0, "", "false"),
               text("Text_3", -316, 176, "Corner")])))
    write(t, "hex_and_decimal_colours.vlp", crlf(*project(
        texts=[text("Text_1", 5, -5, "Hi", "true", "$000080FF"),
               text("Text_2", 0, 0, "Dec", "true", "255"),
               text("Text_3", 0, 0, "Neg", "true", "-1"),
               text("Text_4", 0, 0, "Big", "true", "$FFFFFFFF")])))
    write(t, "bad_colour_stops_reading.vlp", crlf(*project(
        buttons=[button("Button_1")],
        texts=[text("Text_1", 0, 0, "Fine", "true", "clLime"),
               text("Text_2", 0, 0, "Broken", "true", "reddish"),
               text("Text_3", 0, 0, "Never reached")])))
    write(t, "actions_of_both_sides_without_user_code.vlp", crlf(*project(
        buttons=[button("Button_1", 200, -100, 48, 48, "BACT", "true", "Button_1_Left_Actions",
                        "Button_1_Right_Actions",
                        ['ObjShow t "Button_2"', 'echo "Wave 2 begins"'], ['ObjShow f "Text_1"']),
                 button("Button_2", -1, 1, 2, 2, "", "true", "", "OnlyRight")])))
    # The project of the project file tests, byte for byte.
    write(t, "one_object_of_each_kind.vlp",
          (REPO / "tests/project/data/one_object_of_each_kind.vlp").read_bytes())

    # Odd files.
    write(t, "empty_file.vlp", b"")
    write(t, "another_key.vlp", crlf("FMVELLVERSIONKEY2.0", "btncount:0", "piccount:0", "texcount:0"))
    write(t, "key_only.vlp", crlf(KEY))
    write(t, "empty_project_with_empty_user_code.vlp", crlf(*project(usercode=[])))
    write(t, "empty_project_without_user_code.vlp", crlf(*project()))
    write(t, "line_feeds_only.vlp", "\n".join(project(buttons=[button("Button_1")])) + "\n")
    write(t, "lone_carriage_returns.vlp", "\r".join(project(pictures=[picture("Picture_1")])))
    write(t, "nul_byte_in_a_name.vlp",
          crlf(*project(buttons=[button("Butt\0on_1")])).encode("cp1251"))
    write(t, "cut_before_the_name_of_the_second_button.vlp",
          crlf(KEY, "btncount:2", *button("Button_1")))
    write(t, "cut_inside_the_action_list.vlp",
          crlf(KEY, "btncount:1", "Button_1", "0", "0", "32", "32", "B000", "true", "", "",
               "3", 'echo "one"'))
    write(t, "count_above_capacity.vlp", crlf(KEY, "btncount:10000"))
    write(t, "count_at_capacity_without_records.vlp", crlf(KEY, "btncount:9999"))
    write(t, "negative_counts.vlp", crlf(KEY, "btncount:-5", "piccount:-1", "texcount:0"))
    write(t, "count_prefix_is_any_nine_characters.vlp",
          crlf(KEY, "XXXXXXXXX1", *button("Button_1"), "?????????0", "texcount:0"))
    write(t, "count_without_digits.vlp", crlf(KEY, "btncount:"))
    write(t, "count_with_leading_zeros.vlp", crlf(KEY, "btncount:0001", *button("Button_1"),
                                                  "piccount:00", "texcount:-0"))
    write(t, "extreme_coordinates.vlp", crlf(*project(
        buttons=[button("Button_1", 2147483647, -2147483648, 2147483647, -2147483647)],
        pictures=[picture("Picture_1", -2147483648, 2147483647, -2147483648, 0)],
        texts=[text("Text_1", 2147483647, 2147483647)])))
    write(t, "coordinate_out_of_range.vlp", crlf(KEY, "btncount:1", "Button_1", "2147483648"))
    write(t, "coordinate_with_plus_sign.vlp", crlf(KEY, "btncount:1", "Button_1", "+5"))
    write(t, "duplicate_and_foreign_names.vlp", crlf(*project(
        buttons=[button("Text_1"), button("Text_1")],
        pictures=[picture("Button_1")],
        texts=[text("Picture_1"), text("")])))
    write(t, "cyrillic_names_and_texts.vlp", crlf(*project(
        buttons=[button("Кнопка_Ёж", tex="Б001", left="Левый_клик", lacts=['echo "Привет, мир"'])],
        texts=[text("Надпись", txt="№ 1 — «цитата»", color="clRed")])))
    write(t, "visibility_words.vlp", crlf(*project(
        buttons=[button("Button_1", vis="TRUE")], pictures=[picture("Picture_1", vis="1")],
        texts=[text("Text_1", vis="")])))
    write(t, "user_code_without_end.vlp",
          crlf(*project(), "/usercodestart", *ECHO))
    write(t, "user_code_start_as_last_line.vlp", crlf(*project(), "/usercodestart"))
    write(t, "user_code_after_other_lines.vlp",
          crlf(*project(), "junk", "/usercodestart", "x", "/end"))
    write(t, "user_code_with_odd_characters.vlp", crlf(*project(usercode=[
        "\tindented with a tab", "no\u00a0break\u00a0spaces", "form\x0cfeed", "soft\u00adhyphen",
        "", "   ", "/END", " /end", "/usercodestart"])))
    write(t, "lines_after_the_end.vlp", crlf(*project(usercode=["a"]), "b", "/end", "c"))


def settings_seeds():
    t = "settingsfile"
    default = ["FMVELLCREATORversionkey2.0", "clWhite", "clTeal", "$000080FF", "clBlack",
               "activate", "compilecodevjass", "activate", "ButtonVar", "PictureVar",
               "TextVar", "UnitVar", "save"]
    write(t, "default_settings.fms", crlf(*default))
    odd = list(default)
    odd[7], odd[8], odd[9], odd[10], odd[11] = "deactivate", "", "My Pictures", " T x", "udg_Hero Unit"
    write(t, "odd_variable_names_without_user_code.fms", crlf(*odd))
    other = ["FMVELLCREATORversionkey2.0", "$00FFFFFF", "8421376", "clbtnface", "CLNONE",
             "deactivate", "compilecodecjass", "deactivate", "Кнопки", "Картинки", "Тексты",
             "Юнит", "not"]
    write(t, "every_switch_off_and_colours_in_other_forms.fms", crlf(*other))
    write(t, "seven_lines_only.fms", crlf(*default[:7]))
    write(t, "key_only.fms", crlf(default[0]))
    write(t, "empty_file.fms", b"")
    write(t, "another_key.fms", crlf("FMVELLCREATORversionkey1.0", *default[1:]))
    bad = list(default)
    bad[3] = "orange"
    write(t, "colour_that_does_not_read.fms", crlf(*bad))
    words = list(default)
    words[5], words[6], words[7], words[12] = "Activate", "vjass", "", "SAVE"
    write(t, "switch_words_that_change_nothing.fms", crlf(*words))
    write(t, "extra_lines_after_the_last.fms", crlf(*default, "more", "lines"))
    write(t, "line_feeds_only.fms", "\n".join(default))
    ctrl = list(default)
    ctrl[8], ctrl[9] = "Var\tTab", "Var\x01Ctrl"
    write(t, "control_characters_in_names.fms", crlf(*ctrl))
    ext = list(default)
    ext[1], ext[2], ext[3], ext[4] = "-2147483648", "2147483647", "$", "$123456789"
    write(t, "colour_integers_at_the_limits.fms", crlf(*ext))


def usercode_seeds():
    t = "usercode"
    write(t, "echo_and_one_action_function.j", crlf(*ECHO,
          "function Button_1_Left_Actions takes nothing returns nothing",
          ' call ECHO("Hi")', "endfunction"))
    write(t, "empty_file.j", b"")
    write(t, "two_functions_of_one_name.j",
          crlf("function A takes nothing returns nothing", "endfunction",
               "function A takes nothing returns nothing", " // second", "endfunction"))
    write(t, "function_without_endfunction.j",
          crlf("function Open takes nothing returns nothing", " call Open()"))
    write(t, "endfunction_between_spaces_and_tabs.j",
          crlf("function T takes nothing returns nothing", " \t endfunction\t ", "after"))
    write(t, "endfunction_with_other_white_space.j",
          crlf("function F takes nothing returns nothing", "endfunction\x0c", "endfunction;",
               "ENDFUNCTION", "endfunction"))
    write(t, "longer_word_counts_as_header.j",
          crlf("functions list takes nothing", "endfunction", "functionx", "endfunction"))
    write(t, "header_with_two_spaces.j",
          crlf("function  Gap takes nothing returns nothing", "endfunction",
               "function\tTab takes nothing", "endfunction"))
    write(t, "indented_header_is_no_header.j",
          crlf(" function Inner takes nothing returns nothing", "endfunction"))
    write(t, "header_names_only_itself.j",
          crlf("function", "function Alone", "endfunction"))
    write(t, "carriage_returns_only.j",
          "\r".join(["function R takes nothing returns nothing", "endfunction", ""]))
    write(t, "blank_lines_at_the_end.j", crlf("function B takes nothing", "endfunction", "", "", ""))
    write(t, "nul_byte_refused.j", b"function N takes nothing\r\n\0endfunction\r\n")
    write(t, "no_break_spaces_and_cyrillic.j",
          crlf("// Комментарий\u00a0с неразрывным пробелом", "function Ёж takes nothing returns nothing",
               " call ECHO(\"Привет\")", "endfunction"))
    write(t, "name_is_echo.j", crlf("function ECHO", "endfunction"))


def textforms_seeds():
    t = "textforms"
    items = {
        "named_colour.txt": "clMoneyGreen",
        "named_colour_in_upper_case.txt": "CLSKYBLUE",
        "interface_colour_name.txt": "clGradientInactiveCaption",
        "special_colour_none.txt": "clNone",
        "hex_colour.txt": "$000080FF",
        "hex_colour_lower_case.txt": "$00ff00aa",
        "hex_colour_nine_digits.txt": "$123456789",
        "dollar_alone.txt": "$",
        "hex_colour_with_high_byte.txt": "$FF000000",
        "int_min.txt": "-2147483648",
        "int_max.txt": "2147483647",
        "int_max_plus_one.txt": "2147483648",
        "minus_zero.txt": "-0",
        "leading_zeros.txt": "007",
        "minus_alone.txt": "-",
        "plus_sign.txt": "+5",
        "surrounding_spaces.txt": " 42 ",
        "many_digits.txt": "000000000000000000012",
        "cyrillic_es_in_colour_name.txt": "сlRed",
    }
    for name, value in items.items():
        write(t, name, value)
    write(t, "empty.txt", b"")
    write(t, "fullwidth_digits_utf8.txt", "１２".encode("utf-8"))
    write(t, "int_bytes_of_minus_one.bin", b"\xff\xff\xff\xff")


def cp1251_seeds():
    t = "cp1251"
    write(t, "every_byte_value.bin", bytes(range(256)))
    write(t, "mixed_line_ends.bin", b"a\r\rb\n\r\nc\n\rd\r")
    write(t, "nul_in_the_middle.bin", b"ab\r\ncd\0ef\r\ngh")
    write(t, "cyrillic_text.txt", crlf("Координата Х", "Ёё№"))
    write(t, "utf16_cyrillic_and_chinese.bin", "Ёж中\u00e9".encode("utf-16-le"))
    write(t, "utf8_with_non_cp1251_characters.txt", "café 中文 €".encode("utf-8"))


def actiontext_seeds():
    t = "actiontext"
    write(t, "show_and_hide_lines.txt", crlf('ObjShow t "Button_2"', 'ObjShow f "Picture_1"',
                                            "ObjShow T Text_1", "ObjShow t"))
    write(t, "message_lines.txt", crlf('echo "Wave 2 begins"', "echo", 'echo "a"b c"', 'echo ""'))
    write(t, "lines_of_no_action.txt", crlf('objshow t "A"', 'echo\t"x"', "", "  ", "ECHO \"a\""))
    write(t, "two_spaces_enclose_an_empty_word.txt", crlf("a  b", 'ObjShow  "Name"'))
    write(t, "unbalanced_quote.txt", crlf('ObjShow t "Open name', 'echo "never closed'))
    write(t, "cyrillic_message.txt", crlf('echo "Привет, игрок №1"'))


def vjass_seeds():
    t = "vjass"
    write(t, "generated_interface_code.j",
          crlf(*(REPO / "tests/codegen/data/mixed_design_with_user_code.out")
               .read_text(encoding="utf-8").splitlines()))
    timers = [
        "library TimerPool initializer init requires optional Table",
        "    globals",
        "        private constant boolean USE_HASH = true",
        "        private constant real TIMEOUT = .03125",
        "        private hashtable HT = InitHashtable()",
        "        private timer array stack",
        "        private integer count = 0",
        "        debug private integer peak = 0",
        "    endglobals",
        "",
        "    function NewTimerEx takes integer data returns timer",
        "        local timer t",
        "        if count == 0 then",
        "            set t = CreateTimer()",
        "        else",
        "            set count = count - 1",
        "            set t = stack[count]",
        "        endif",
        "        static if USE_HASH then",
        "            call SaveInteger(HT, 0, GetHandleId(t), data)",
        "        endif",
        "        debug call BJDebugMsg(\"new timer \" + I2S(GetHandleId(t)))",
        "        return t",
        "    endfunction",
        "",
        "    function NewTimer takes nothing returns timer",
        "        return NewTimerEx(0)",
        "    endfunction",
        "",
        "    function ReleaseTimer takes timer t returns nothing",
        "        if t == null then",
        "            debug call BJDebugMsg(\"null timer\")",
        "            return",
        "        endif",
        "        call PauseTimer(t)",
        "        set stack[count] = t",
        "        set count = count + 1",
        "    endfunction",
        "",
        "    private function init takes nothing returns nothing",
        "        local integer i = 0",
        "        loop",
        "            exitwhen (i >= 10)",
        "            set stack[i] = CreateTimer()",
        "            set i = i + 1",
        "        endloop",
        "        set count = i",
        "    endfunction",
        "endlibrary",
        "",
        "hook RemoveUnit Missile.onRemove",
        "//! textmacro_once DEFINE takes X",
        "globals",
        "    integer $X$ = 0",
        "endglobals",
        "//! endtextmacro",
        "//! runtextmacro DEFINE(\"Foo\")",
    ]
    write(t, "library_with_timers_and_textmacro.j", crlf(*timers))
    missiles = [
        "library Missiles requires TimerPool",
        "    private function interface OnHit takes unit target returns boolean",
        "",
        "    private keyword MissileInit",
        "",
        "    module MissileList",
        "        thistype next",
        "        thistype prev",
        "        static thistype first = 0",
        "        static method add takes thistype m returns nothing",
        "            set m.next = first",
        "            set first.prev = m",
        "            set first = m",
        "        endmethod",
        "        private static method onInit takes nothing returns nothing",
        "            static if thistype.onPeriodic.exists then",
        "                call TimerStart(NewTimer(), TIMEOUT, true, function thistype.onPeriodic)",
        "            endif",
        "        endmethod",
        "    endmodule",
        "",
        "    struct Missile",
        "        unit dummy",
        "        real x",
        "        real y",
        "        real speed = 10.",
        "        private real array path[8]",
        "        readonly static integer alive = 0",
        "        OnHit onHit",
        "        private delegate Effect fx",
        "",
        "        implement MissileList",
        "        implement optional MissileDebug",
        "",
        "        static method create takes unit source, real angle returns thistype",
        "            local thistype this = thistype.allocate()",
        "            set .dummy = CreateUnit(GetOwningPlayer(source), 'h000', GetUnitX(source), GetUnitY(source), angle * bj_RADTODEG)",
        "            set this.x = GetUnitX(.dummy)",
        "            set thistype.alive = thistype.alive + 1",
        "            call thistype.add(this)",
        "            set this.next.prev = this.prev",
        "            set .path[0] = -.5 * -this.x",
        "            return this",
        "        endmethod",
        "",
        "        method operator position takes nothing returns real",
        "            return SquareRoot(.x * .x + .y * .y)",
        "        endmethod",
        "",
        "        method operator position= takes real v returns nothing",
        "            set .x = v",
        "        endmethod",
        "",
        "        static method operator [] takes unit u returns thistype",
        "            return thistype(LoadInteger(HT, 0, GetHandleId(u)))",
        "        endmethod",
        "",
        "        method operator < takes thistype other returns boolean",
        "            return .speed < other.speed",
        "        endmethod",
        "",
        "        stub method onDestroy takes nothing returns nothing",
        "            call RemoveUnit(.dummy)",
        "            set .dummy = null",
        "        endmethod",
        "",
        "        method onPeriodic takes nothing returns nothing",
        "            if not IsUnitType(.dummy, UNIT_TYPE_DEAD) and GetWidgetLife(.dummy) > 0.405 then",
        "                call SetUnitX(.dummy, GetUnitX(.dummy) + .speed * Cos(GetUnitFacing(.dummy) * bj_DEGTORAD))",
        "            elseif .onHit.evaluate(.dummy) then",
        "                call .destroy()",
        "            else",
        "                call this.onDestroy.execute()",
        "            endif",
        "        endmethod",
        "    endstruct",
        "",
        "endlibrary",
    ]
    write(t, "module_struct_operators.j", crlf(*missiles))
    homing = [
        "library Homing requires Missiles",
        "    struct Homing extends Missile",
        "        unit target",
        "        method onDestroy takes nothing returns nothing",
        "            call super.onDestroy()",
        "            set .target = null",
        "        endmethod",
        "        static method create takes unit s, unit t returns thistype",
        "            local thistype this = thistype.allocate(s, 0.)",
        "            set this.target = t",
        "            return this",
        "        endmethod",
        "    endstruct",
        "endlibrary",
        "",
        "scope Spells initializer Init",
        "    private struct Data extends array",
        "        implement Alloc",
        "        static integer array counts",
        "    endstruct",
        "",
        "    private function Cond takes nothing returns boolean",
        "        return GetSpellAbilityId() == 'A000' or GetSpellAbilityId() == 'A\\'01'",
        "    endfunction",
        "",
        "    private function Act takes nothing returns nothing",
        "        local Missile m = Missile.create(GetTriggerUnit(), GetUnitFacing(GetTriggerUnit()))",
        "        local Data d = Data(1)",
        "        set Data.counts[integer(d)] = Data.counts[1] + 1",
        "        set m.position = 5.",
        "        call Missile[GetTriggerUnit()].destroy()",
        "        call ExecuteFunc(SCOPE_PRIVATE + \"Act\")",
        "    endfunction",
        "",
        "    private function Init takes nothing returns nothing",
        "        local trigger t = CreateTrigger()",
        "        call TriggerRegisterAnyUnitEventBJ(t, EVENT_PLAYER_UNIT_SPELL_EFFECT)",
        "        call TriggerAddCondition(t, Condition(function Cond))",
        "        call TriggerAddAction(t, function Act)",
        "        set t = null",
        "    endfunction",
        "endscope",
    ]
    write(t, "child_struct_scope_casts.j", crlf(*homing))
    directives = [
        "//! import \"lib.j\"",
        "//! external ObjectMerger w3u hfoo hF00",
        "//! zinc",
        "library Z requires TimerPool {",
        "    function onInit() { integer i; for (0 <= i < 10) { BJDebugMsg(I2S(i)); } }",
        "}",
        "//! endzinc",
        "//! novjass",
        "native Junk takes nothing returns nothing",
        "    this is not code \" at all",
        "//! endnovjass",
        "//! inject main",
        "    call InitBlizzard()",
        "    //! dovjassinit",
        "//! endinject",
        "interface Shape",
        "    method area takes nothing returns real defaults 0.",
        "    method name takes nothing returns string defaults nothing",
        "endinterface",
        "struct Circle extends Shape",
        "    static if DEBUG_MODE then",
        "        integer checks",
        "    else",
        "        integer spare",
        "    endif",
        "    method area takes nothing returns real",
        "        debug call BJDebugMsg(\"area\")",
        "        return 3.14 * .r * .r",
        "    endmethod",
        "endstruct",
        "function interface Callback takes integer x returns nothing",
        "keyword Later",
    ]
    write(t, "interface_zinc_novjass_inject.j", crlf(*directives))
    write(t, "deep_blocks.j", crlf("function F takes nothing returns nothing",
                                   *["if x then"] * 205, *["endif"] * 205, "endfunction"))
    write(t, "deep_parentheses.j", crlf("function F takes nothing returns integer",
                                        " return " + "(" * 210 + "1" + ")" * 210,
                                        " call F(" + "G(" * 210 + ")" * 211, "endfunction"))
    faults = [
        "function A takes nothing returns nothing",
        " DisplayTextToPlayer(GetLocalPlayer(), 0, 0, \"x\")",
        " If x then",
        " endif",
        " endfucntion",
        "function B takes nothing returns nothing",
        " call ECHO(\"unterminated)",
        "endfunction",
        "function C takes nothing returns nothing",
        " set i = i +",
        " call X(1,,2)",
        " set a[1][2 = 3",
        " if x then",
        " loop",
        " endif",
        "endfunction",
        "struct S",
        " method m takes nothing returns nothing",
        "endstruct",
        "globals",
        " integer x = 1",
        " string s = \"runs on",
        " over lines \\\" with escapes\"",
        " /* and a comment",
        " over lines */ integer y = 0x 12ab $ 'x",
        "function D takes nothing returns nothing",
        " set Привет = 'A\\'0' + 1. + .5 + 0x1F + $ff + 017",
        "endfunction",
        "//! endtextmacro",
    ]
    write(t, "faults_and_garbage.j",
          crlf(*faults, "//! textmacro Open takes X").encode("cp1251")
          + bytes([0xcf, 0xf0, 0xe8, 0x0d, 0x0a, 0x09, 0x7f, 0x01, 0xff, 0x27, 0x22, 0x0a]))


if __name__ == "__main__":
    project_seeds()
    settings_seeds()
    usercode_seeds()
    textforms_seeds()
    cp1251_seeds()
    actiontext_seeds()
    vjass_seeds()
