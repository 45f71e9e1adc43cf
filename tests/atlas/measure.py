# Run by gdb (gdb -batch -nx -x measure.py): where each argument of a call
# is as the callee starts. ATLAS_PROGRAM is stopped at the entry of
# ATLAS_FUNCTION, called from main with the arguments that ATLAS_SOURCE's main
# passes it; ATLAS_LAUNCHER, where given, is the emulator whose gdbstub gdb
# drives. Prints "FUNCTION INDEX VALUE: PLACES", a place being a register by
# gdb's name or a stack slot as an offset from the stack pointer at entry.
#
# A place is a register or slot that main's code set to the argument's value.
# Where there are two, or a small value could be a coincidence, each is tried:
# changed at the callee's entry (and put back as the callee returns), does the
# program then print or end otherwise? The places the callee reads come first;
# after " / ", copies it does not read.
#
# ATLAS_FUNCTION va_start instead prints what va_start wrote in each cursor of
# record.cpp, "PROTOTYPE va_list: FIELD=VALUE...", read by the va_list's type.
import os
import re
import socket
import struct
import subprocess
import tempfile
import time

import gdb

program = os.environ["ATLAS_PROGRAM"]
function = os.environ["ATLAS_FUNCTION"]
launcher = os.environ.get("ATLAS_LAUNCHER", "").split()
source = open(os.environ["ATLAS_SOURCE"]).read().split("\nmain(")[1]
output = tempfile.NamedTemporaryFile(prefix="atlas-")
# Status and control registers, and those a program's start leaves for it.
control = re.compile(r"^(cpsr|msr|cr|xer|lr|ctr|fpscr|sr|gbr|vbr|ssr|spc|pswm|pswa|ps|fpcr|fpsr|fsr|fcsr"
                     r"|fflags|frm|orig_r3|trap|pr|mach|macl|fpul|sar|unique|y|fprs|[c-gs]s|eflags)$")

floating_control = re.compile(r"^(fiseg|fioff|foseg|fooff|fop|fstat|ftag|fctrl|mxcsr|fpsr|fpcr|fflags|frm|fcsr"
                              r"|fpc|fcc\d|fcsr\d|fpcontrol|fpstatus|fpiaddr|fpscr|fsr|fprs|fpul|fir|fcr\d+)$")


def arguments():
    """The call's arguments as (text, kind, value), from main's source."""
    call = re.search(r"\b%s\(((?:[^()]|\([^()]*\))*)\)" % function, source)
    found = []
    for text in re.findall(r'"[^"]*"|[^,]+', call.group(1)):
        text = text.strip()
        if text.startswith('"'):
            found.append((text, "string", text[1:-1].encode()))
        elif "nullptr" in text:
            found.append(("nullptr", "pointer", 0))
        elif "." in text:
            found.append((text, "double", struct.unpack("<Q", struct.pack("<d", float(text)))[0]))
        else:
            found.append((text, "int", int(text, 0)))
    return found


def start():
    """Starts the program afresh, stopped at main."""
    gdb.execute("break *main")
    if launcher:
        with socket.socket() as s:
            s.bind(("127.0.0.1", 0))
            port = s.getsockname()[1]
        subprocess.Popen(launcher + ["-g", str(port), program], stdout=output, stderr=subprocess.DEVNULL)
        for attempt in range(200):
            try:
                gdb.execute("target remote 127.0.0.1:%d" % port, to_string=True)
                break
            except gdb.error:
                time.sleep(0.05)
        gdb.execute("continue", to_string=True)
    else:
        gdb.execute("run >%s 2>/dev/null" % output.name, to_string=True)
    gdb.execute("delete")


def leaf(name):
    """The expression for a register's lowest 8 bytes (a vector's), and its type."""
    expression = "$" + name
    kind = gdb.selected_frame().read_register(name).type.strip_typedefs()
    while kind.code in (gdb.TYPE_CODE_UNION, gdb.TYPE_CODE_STRUCT, gdb.TYPE_CODE_ARRAY):
        if kind.code == gdb.TYPE_CODE_ARRAY:
            expression += "[0]"
            kind = kind.target().strip_typedefs()
            continue
        fields = [f for f in kind.fields() if f.name in ("double", "d", "v2_int64", "u64", "v2d", "uint64", "f64", "u")]
        if not fields:
            return None, None
        expression += "." + fields[0].name
        kind = fields[0].type.strip_typedefs()
    return expression, kind


def bits(name):
    """A register's contents as an unsigned integer."""
    expression, kind = leaf(name)
    if kind is None:
        return None
    value = gdb.parse_and_eval(expression)
    if kind.code == gdb.TYPE_CODE_FLT:
        pack = {8: ("<d", "<Q"), 4: ("<f", "<I")}.get(kind.sizeof)
        return pack and struct.unpack(pack[1], struct.pack(pack[0], float(value)))[0]
    return int(value) & ((1 << (8 * kind.sizeof)) - 1)


def assign(name, value):
    expression, kind = leaf(name)
    if kind.code == gdb.TYPE_CODE_FLT:
        pack = {8: ("<Q", "<d"), 4: ("<I", "<f")}[kind.sizeof]
        value = repr(struct.unpack(pack[1], struct.pack(pack[0], value))[0])
    gdb.execute("set var %s = %s" % (expression, value))


def snapshot():
    taken = {}
    for name in names:
        try:
            value = bits(name)
        except (gdb.error, ValueError):
            continue
        if value is not None:
            taken[name] = value
    return taken


def run_to_callee(poison):
    """From main to the callee's entry; returns the registers main's code wrote."""
    start()
    global stack_at_main
    if poison:
        # The stack main's frame will take (above the stack pointer on hppa,
        # whose stack grows up; sparc64's is 2047 bytes off), small words changed.
        free = sp() + (1024 if arch.name().startswith("hppa") else 2047 if arch.name().startswith("sparc:v9") else 0) - 1024
        words = bytearray(read(free, 1024))
        for at in range(0, len(words), 4):
            if words[at:at + 4] in (b"\0" * 4, b"\0\0\0\1", b"\1\0\0\0"):
                words[at:at + 4] = b"\x5a" * 4
        gdb.selected_inferior().write_memory(free, bytes(words))
    # The stack as main starts, 256 bytes at a time where they can be read.
    stack_at_main = {at: read(at, 256) for at in range((sp() - 3072) & ~255, sp() + 3072, 256)}
    before = snapshot()
    for name, value in before.items():
        kind = gdb.selected_frame().read_register(name).type.strip_typedefs()
        if poison and value < 256 and kind.code == gdb.TYPE_CODE_INT and not control.match(name):
            try:
                gdb.execute("set $%s = %d" % (name, value ^ 0x5A))
            except gdb.error:
                pass
    before = snapshot()
    step_to(function)
    now = snapshot()
    return {name: value for name, value in now.items() if value != before.get(name)}, now


def step_to(callee):
    """Steps an instruction at a time to CALLEE's first (where a local call enters: on
    ppc64el and alpha that is past the address of its symbol)."""
    for step in range(20000):
        gdb.execute("stepi", to_string=True)
        if (gdb.selected_frame().name() or "").split("(")[0].lstrip(".") == callee:
            return
    raise gdb.GdbError("%s: no call of %s" % (program, callee))


gdb.execute("set pagination off")
gdb.execute("set confirm off")
gdb.execute("set suppress-cli-notifications on")
# The walkers and main are the program's own: no library's symbols are needed.
gdb.execute("set auto-solib-add off")
gdb.execute("file " + program)
if launcher:
    gdb.execute("set sysroot " + (launcher[launcher.index("-L") + 1] if "-L" in launcher else "/"))
arch = gdb.selected_inferior().architecture()
names = []
for group in ("general", "float", "vector", "sse"):
    try:
        names += [r.name for r in arch.registers(group) if r.name not in names
                  and (group == "general" or not floating_control.match(r.name))]
    except ValueError:
        pass
# Not the stack, frame and program counters, nor the other views (SVE's, the
# scalars') of aarch64's v registers.
names = [name for name in names if not re.match(r"^([re]?[sip]p|[re]ip|pc|sp|fp|[c-gs]s|eflags)$", name)
         and not ("v0" in names and re.match(r"^([zpbhsdq]\d+|ffr)$", name))]
word = gdb.lookup_type("void").pointer().sizeof
big = "big endian" in gdb.execute("show endian", to_string=True)
# amd64's al is no argument: it says how many vector registers the call used.
counts = arch.name() == "i386:x86-64"
if counts:
    names.remove("rax")


def read(address, size):
    """SIZE bytes from ADDRESS, or as many of them as can be read, in 256-byte steps."""
    taken = b""
    while len(taken) < size:
        try:
            taken += bytes(gdb.selected_inferior().read_memory(address + len(taken), min(256, size - len(taken))))
        except gdb.MemoryError:
            break
    return taken


strings = {}


def holds(value, kind, text):
    if kind == "string":
        if value not in strings:
            strings[value] = read(value, 64) if value > 4096 else b""
        return strings[value][:len(text) + 1] == text + b"\0"
    if kind == "int":
        return value & 0xFFFFFFFF == text & 0xFFFFFFFF and value >> 32 in (0, (1 << (8 * word - 32)) - 1)
    return value == text


def sp():
    return int(gdb.selected_frame().read_register("sp")) & ((1 << (8 * word)) - 1)


def places(registers, kind, text, previous):
    small = kind == "pointer" or (kind == "int" and text < 256)
    written, everything = registers
    found = [name for name, value in written.items() if holds(value, kind, text)]
    if small:
        # Main's code may set a register to what it held already (or, on
        # sparc, in a register window other than the one changed): so each
        # that holds a small value is tried.
        tried = [name for name, value in everything.items() if holds(value, kind, text) and name not in found]
        unwritten.update(tried)
        found += tried
    registers = written
    if kind == "double" and word == 4 and not found:
        # A double in two halves, in a pair of 32-bit registers.
        halves = (text >> 32, text & 0xFFFFFFFF) if big else (text & 0xFFFFFFFF, text >> 32)
        low = [name for name, value in registers.items() if value == halves[0]]
        high = [name for name, value in registers.items() if value == halves[1]]
        if low and high:
            found.append(low[0] + ":" + high[0])
    size = {"int": 4, "double": 8}.get(kind, word)
    base = (sp() - 512) & ~7
    stack = read(base, 3072)
    # Pointers in slots of their own alignment; ints and doubles at any 4 bytes.
    slots = [base + offset for offset in range(0, len(stack) - size + 1, size if kind in ("pointer", "string") else 4)
             if holds(int.from_bytes(stack[offset:offset + size], "big" if big else "little"), kind, text)]
    slots.sort(key=lambda address: abs(address - sp()))
    changed = [address for address in slots if written_at(address, read(address, size))]
    # A null pointer or a count where main's code left the slot as it was: the nearest, to be tried.
    if small:
        # The slots beside the previous argument's, where main's code may have
        # written what the slot held already.
        beside = [sp() + int(place[2:] or 0) + step for place in previous if place.startswith("sp")
                  for step in (size, -size)]
        changed += [address for address in slots if address in beside and address not in changed]
    for address in (changed if small else changed[:1]) if changed or found else slots[:4]:
        found.append("sp%+d" % (address - sp()) if address != sp() else "sp")
    return found


def written_at(address, now):
    """Whether main's code changed the stack at ADDRESS (to NOW)."""
    at = address & ~255
    old = stack_at_main.get(at, b"") + stack_at_main.get(at + 256, b"")
    return address + len(now) <= at + len(old) and old[address - at:address - at + len(now)] != now


def change(index, place, kind, text):
    """Changes PLACE at the callee's entry; returns how to put it back as the callee returns."""
    endian = "big" if big else "little"
    size = {"int": 4, "double": 8}.get(kind, word)
    if kind == "string":
        other = lambda old: old + 1
    else:
        # The count, the first argument, becomes 0 (or 1), so the walk stays
        # short; any other int the largest.
        other = lambda old: {"int": (text == 0) if index == 0 else 0x7FFFFFFF if text != 0x7FFFFFFF else 0,
                             "pointer": 1, "double": text ^ 1 << 52}[kind]
    if place.startswith("sp"):
        address = sp() + int(place[2:] or 0)
        old = read(address, size)
        new = other(int.from_bytes(old, endian)).to_bytes(size, endian)
        gdb.selected_inferior().write_memory(address, new)
        return lambda: read(address, size) == new and gdb.selected_inferior().write_memory(address, old)
    names = place.split(":")
    old = [snapshot()[name] for name in names]
    whole = sum(value << 32 * (i if not big else len(names) - 1 - i) for i, value in enumerate(old))
    changed = other(whole)
    new = [changed >> 32 * (i if not big else len(names) - 1 - i) & (0xFFFFFFFF if len(names) > 1 else (1 << 64) - 1)
           for i in range(len(names))]
    for name, value in zip(names, new):
        try:
            assign(name, value)
        except gdb.error:  # a register gdb cannot write is no argument's
            return lambda: None

    def undo():
        after = snapshot()
        for name, was, value in zip(names, old, new):
            if after.get(name) == value:
                assign(name, was)
    return undo


def outcome(changes):
    """How the program ends with each (index, place) of CHANGES changed as the callee starts."""
    run_to_callee(poison=False)
    strings.clear()
    if changes:
        undo = [change(index, place, calls[index][1], calls[index][2]) for index, place in changes]
        gdb.execute("finish", to_string=True)
        for each in undo:
            each()
    try:
        gdb.execute("continue", to_string=True)
    except gdb.error:
        pass
    ended = str(gdb.convenience_variable("_exitcode"))
    try:
        gdb.execute("kill", to_string=True)
    except gdb.error:
        ended += " killed"
    gdb.set_convenience_variable("_exitcode", None)
    output.seek(0)
    said = output.read()
    output.seek(0)
    output.truncate()
    return ended, said


def read_by_callee(changes):
    """Those of CHANGES that the callee reads, found by halves: a group changed as one that
    leaves the program as it was holds none."""
    if not changes or outcome(changes) == usual:
        return []
    if len(changes) == 1:
        return changes
    return read_by_callee(changes[:len(changes) // 2]) + read_by_callee(changes[len(changes) // 2:])


def where():
    """Where each argument is, as "FUNCTION INDEX VALUE: PLACES"; with the copies, and without."""
    global calls, unwritten, usual
    calls = arguments()
    unwritten = set()  # registers tried though main's code did not change them: no copies
    registers = run_to_callee(poison=True)
    found = []
    for shown, kind, text in calls:
        found.append(places(registers, kind, text, found[-1] if found else []))
    al = int(gdb.parse_and_eval("$al")) if counts else None
    gdb.execute("kill", to_string=True)

    # A small value's places, each; of a value in several places, the registers
    # first, then the stack slots of those whose registers the callee reads.
    small = [i for i, (shown, kind, text) in enumerate(calls) if kind == "pointer" or (kind == "int" and text < 256)]
    several = [i for i, places in enumerate(found) if len(places) > 1 and i not in small]
    usual = outcome([]) if small or several else None
    reads = read_by_callee([(i, place) for i in small for place in found[i]])
    registers_read = read_by_callee([(i, place) for i in several for place in found[i] if not place.startswith("sp")])
    reads += registers_read
    taken = {i for i, place in registers_read}
    reads += read_by_callee([(i, place) for i in several if i in taken for place in found[i] if place.startswith("sp")])
    reads += [(i, place) for i in several if i not in taken for place in found[i] if place.startswith("sp")]
    lines, full = [], []
    for index, (shown, kind, text) in enumerate(calls):
        its = found[index] if index not in small and index not in several else [p for i, p in reads if i == index]
        copies = [place for place in found[index] if place not in its and place not in unwritten]
        lines.append("%s %d %s: %s" % (function, index, shown, " ".join(its) or "?"))
        full.append(lines[-1] + (" / " + " ".join(copies) if copies else ""))
    if counts:
        lines.append("%s al: %d" % (function, al))
        full.append(lines[-1])
    return lines, full


def begun(value, entry, name="va_list"):
    """VALUE, a va_list, field by field: a pointer as an offset from ENTRY, the stack pointer at
    the function's entry."""
    kind = value.type.strip_typedefs()
    if kind.code == gdb.TYPE_CODE_ARRAY:
        return begun(value[0], entry, name)
    if kind.code in (gdb.TYPE_CODE_STRUCT, gdb.TYPE_CODE_UNION):
        # powerpc's "reserved" is padding, which va_start leaves as it was.
        return [text for field in kind.fields() if field.name != "reserved"
                for text in begun(value[field.name], entry, field.name)]
    if kind.code != gdb.TYPE_CODE_PTR:
        return ["%s=%d" % (name, int(value))]
    address = int(value) & ((1 << (8 * word)) - 1)
    return ["%s=%s" % (name, "sp%+d" % (address - entry) if address != entry else "sp")]


def record():
    """What va_start wrote in each cursor of ATLAS_PROGRAM (tests/atlas/record.cpp)."""
    start()
    lines = []
    for prototype in ("Count", "Sentinel"):
        step_to(prototype + "Begun")
        entry = sp()
        step_to("Seen")
        lines.append("%s va_list: %s" % (prototype, " ".join(begun(gdb.parse_and_eval("*begun"), entry))))
    gdb.execute("kill", to_string=True)
    return lines, lines


lines, full = record() if function == "va_start" else where()
print("\n".join(full))
# What the walker reads, for the atlas; with the copies, for the ABI's documents.
os.makedirs(os.path.dirname(os.environ["ATLAS_OUTPUT"]), exist_ok=True)
for path, said in ((os.environ["ATLAS_OUTPUT"], lines), (os.environ["ATLAS_OUTPUT"] + ".copies", full)):
    with open(path, "w") as written:
        written.write("\n".join(said) + "\n")
