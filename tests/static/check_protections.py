#!/usr/bin/env python3
"""Checks, from a shipped exe itself, the protections that Windows and its
binary analysers expect, as such an analyser would read them:

  check_protections.py ARCHITECTURE EXE OBJDUMP

amd64 (the 64-bit exe): every function that calls another or moves the stack
pointer has its entry in the exception directory; the entries are sorted,
lie inside the code and point at valid unwind data. The debug directory holds
the extended characteristics entry that marks the exe compatible with
hardware shadow stacks (CET).

Both: the stack protector is in use. The routine that ends the process on a
changed guard (the one that calls TerminateProcess) is there, and protected
functions call it.

Prints one line per finding and exits 1 if anything is missing.
"""
import re
import struct
import subprocess
import sys

IMAGE_DEBUG_TYPE_EX_DLLCHARACTERISTICS = 20
IMAGE_DLLCHARACTERISTICS_EX_CET_COMPAT = 0x01
UNW_FLAG_CHAININFO = 0x4
# A protected function calls the failure routine once; a program of this
# size has many such functions. Fewer than this means the protector is off
# for most of the code.
MIN_PROTECTED_CALLERS = 8


class Image:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        if self.data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE image")
        sections, optional_size = struct.unpack_from("<2xH12xH", self.data, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", self.data, optional)[0]
        self.is64 = magic == 0x20B
        if self.is64:
            self.base = struct.unpack_from("<Q", self.data, optional + 24)[0]
            directories = optional + 112
        else:
            self.base = struct.unpack_from("<I", self.data, optional + 28)[0]
            directories = optional + 96
        self.directories = [struct.unpack_from("<II", self.data, directories + 8 * i)
                            for i in range(16)]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            name, vsize, rva, raw_size, raw = struct.unpack_from("<8sIIII", self.data, table + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode(), rva, max(vsize, raw_size), raw, raw_size))

    def section_of(self, rva):
        for section in self.sections:
            if section[1] <= rva < section[1] + section[2]:
                return section
        return None

    def read(self, rva, size):
        section = self.section_of(rva)
        if section is None or rva + size > section[1] + section[4]:
            return None
        offset = section[3] + rva - section[1]
        return self.data[offset:offset + size]

    def text(self):
        return next((s for s in self.sections if s[0] == ".text"), None)

    def import_slots(self):
        """{function name: address of its slot in the import address table}."""
        slots = {}
        rva, size = self.directories[1]
        width = 8 if self.is64 else 4
        while size:
            descriptor = self.read(rva, 20)
            if descriptor is None:
                break
            names, _, _, _, first = struct.unpack("<IIIII", descriptor)
            if first == 0:
                break
            lookup = names or first
            i = 0
            while True:
                entry = self.read(lookup + i * width, width)
                value = int.from_bytes(entry, "little") if entry else 0
                if value == 0:
                    break
                if not value >> (width * 8 - 1):
                    hint_name = self.read(value + 2, 64) or b""
                    slots[hint_name.split(b"\0")[0].decode()] = self.base + first + i * width
                i += 1
            rva += 20
        return slots


def disassemble(objdump, path):
    """[(address, instruction text)] of the code, in order."""
    output = subprocess.run([objdump, "-d", "--no-show-raw-insn", path], check=True,
                            capture_output=True, text=True, env={"LC_ALL": "C"}).stdout
    code = []
    for line in output.splitlines():
        match = re.match(r"^\s*([0-9a-f]+):\s+(.*)$", line)
        if match:
            code.append((int(match.group(1), 16), match.group(2).strip()))
    return code


def check_unwind_data(image, code, problems):
    rva, size = image.directories[3]
    text = image.text()
    if size == 0 or text is None:
        problems.append("missing: the exception directory (.pdata): no function has unwind data")
        return
    table = image.read(rva, size)
    entries = [struct.unpack_from("<III", table, i) for i in range(0, size - size % 12, 12)]
    previous_end = 0
    for begin, end, unwind in entries:
        where = "exception directory entry %x-%x" % (begin, end)
        if begin >= end or begin < previous_end:
            problems.append(where + ": not sorted, empty or overlapping")
        if not (text[1] <= begin and end <= text[1] + text[2]):
            problems.append(where + ": outside .text")
        previous_end = end
        header = image.read(unwind, 4)
        if header is None or image.section_of(unwind) is text:
            problems.append(where + ": unwind data at %x is not in the image's data" % unwind)
            continue
        version, flags, codes = header[0] & 7, header[0] >> 3, header[2]
        if version not in (1, 2) or image.read(unwind, 4 + 2 * codes) is None:
            problems.append(where + ": unwind data at %x is not valid" % unwind)
        elif flags & UNW_FLAG_CHAININFO:
            chained = image.read(unwind + 4 + 2 * ((codes + 1) & ~1), 12)
            if chained is None:
                problems.append(where + ": chained unwind data at %x is cut short" % unwind)
    # A function without an entry is taken for a leaf: one that neither
    # calls nor touches the stack pointer. Any call, push or stack
    # allocation outside every entry is such a function.
    def covered(address):
        offset = address - image.base
        low, high = 0, len(entries)
        while low < high:
            middle = (low + high) // 2
            if entries[middle][1] <= offset:
                low = middle + 1
            else:
                high = middle
        return low < len(entries) and entries[low][0] <= offset
    stack_use = re.compile(r"^(call|push|sub\s+\$0x[0-9a-f]+,%rsp|sub\s+%\w+,%rsp|enter)\b")
    uncovered = [(address, text_) for address, text_ in code
                 if stack_use.match(text_) and not covered(address)]
    for address, instruction in uncovered[:10]:
        problems.append("no unwind data for the function at %x: %s" % (address, instruction))
    if len(uncovered) > 10:
        problems.append("... and %d more such instructions" % (len(uncovered) - 10))
    print("unwind data: %d functions in the exception directory" % len(entries))


def check_cet(image, problems):
    rva, size = image.directories[6]
    directory = image.read(rva, size) if size else None
    for i in range(0, size if directory else 0, 28):
        kind, _, data_rva = struct.unpack_from("<12xIII", directory, i)
        if kind == IMAGE_DEBUG_TYPE_EX_DLLCHARACTERISTICS:
            value = image.read(data_rva, 4)
            if value and int.from_bytes(value, "little") & IMAGE_DLLCHARACTERISTICS_EX_CET_COMPAT:
                print("CET: marked compatible with hardware shadow stacks")
                return
    problems.append("missing: CET_COMPAT in the debug directory's extended characteristics")


def check_stack_protector(image, code, problems):
    slot = image.import_slots().get("TerminateProcess")
    if slot is None:
        problems.append("missing: the stack guard's failure routine (nothing imports TerminateProcess)")
        return
    terminates = [address for address, text_ in code
                  if text_.startswith("call") and ("*0x%x" % slot in text_ or "# 0x%x" % slot in text_)]
    index = {address: i for i, (address, _) in enumerate(code)}
    callers = {}
    for address, instruction in code:
        match = re.match(r"^call\s+(?:0x)?([0-9a-f]+)\b", instruction)
        if match:
            callers.setdefault(int(match.group(1), 16), []).append(address)
    failure_routine = None
    for target in sorted(callers):
        start = index.get(target)
        if start is None:
            continue
        for address, instruction in code[start:start + 64]:
            if address in terminates:
                failure_routine = target
                break
            if instruction.startswith("ret"):
                break
        if failure_routine is not None:
            break
    count = len(callers.get(failure_routine, []))
    if failure_routine is None or count < MIN_PROTECTED_CALLERS:
        problems.append("missing: the stack protector (%d functions call the routine that ends"
                        " the process on a changed guard)" % count)
    else:
        print("stack protector: %d protected functions call the failure routine at %x"
              % (count, failure_routine))


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in ("x86", "amd64"):
        sys.stderr.write("usage: check_protections.py {x86 | amd64} EXE OBJDUMP\n")
        return 2
    architecture, path, objdump = sys.argv[1:]
    image = Image(path)
    code = disassemble(objdump, path)
    problems = []
    if architecture == "amd64":
        check_unwind_data(image, code, problems)
        check_cet(image, problems)
    check_stack_protector(image, code, problems)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
