#!/usr/bin/python3
"""Release tests: the demo's and the SDK's zips, unpacked and used as a user
would, under the whole-program tests' Wine harness (e2e.py).

Usage: release.py BUILD_DIR CASE VERSION [tools...]   (CASE: see CASES at the end)
"""
import os
import re
import shutil
import subprocess
import sys
import time
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import e2e  # noqa: E402  (reads BUILD_DIR from sys.argv[1], as this script does)
from e2e import Failure, check  # noqa: E402

BUILD = e2e.BUILD
SOURCE = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
VERSION = sys.argv[3]
RELEASE = os.path.join(BUILD, "release")
DEMO_ZIP = os.path.join(RELEASE, "orvane-demo-%s-win32.zip" % VERSION)
SDK_ZIP = os.path.join(RELEASE, "orvane-sdk-%s-win32.zip" % VERSION)
RELEASE_PROBE = os.path.join(BUILD, "bin", "release_probe.exe")
LIBRARIES = ("orvane", "md2ex", "pelmar")
# The 64-bit build, whose harness (a 64-bit Wine prefix and its own display)
# runs the sample built for x64.
BUILD64 = os.environ.get("ORVANE_X64_BUILD", os.path.join(os.path.dirname(BUILD), "win64-release"))
ARCHS = {"x86": {"machine": 0x14C, "toolchain": "mingw-i686.cmake", "harness": e2e.HARNESS,
                 "clang": "i686-pc-windows-msvc", "lld": "x86"},
         "x64": {"machine": 0x8664, "toolchain": "mingw-x86_64.cmake", "harness": os.path.join(BUILD64, "harness"),
                 "clang": "x86_64-pc-windows-msvc", "lld": "x64"}}

DEMO_FILES = {
    "orvane_demo.exe", "orvane.dll", "md2ex.dll", "pelmar.dll", "README.txt", "LICENSE.txt",
    "Resource/Background.jpg", "Resource/Sydney.png", "Resource/Sydney.md2", "Resource/Clock_09_92.png",
    "Resource/Orvane.png", "Resource/Scarlet.sks",
}
SDK_FILES = {
    "README.txt", "LICENSE.txt", "Orvane.props", "include/anchor_codes.h",
    "sample/CMakeLists.txt", "sample/model_viewer.cpp", "sample/mingw.cmake", "sample/mingw-i686.cmake",
    "sample/mingw-x86_64.cmake",
    "sample/data/Sydney.md2", "sample/data/Sydney.png", "sample/data/Scarlet.sks",
    "lib/cmake/Orvane/OrvaneConfig.cmake", "lib/cmake/Orvane/OrvaneConfigVersion.cmake",
} | {f % lib for lib in LIBRARIES for f in ("include/%s.h", "doc/%s.md")} | {
    f.format(arch=arch, lib=lib) for arch in ARCHS for lib in LIBRARIES for f in (
        "bin/{arch}/{lib}.dll", "lib/{arch}/lib{lib}.dll.a", "lib/{arch}/{lib}.lib", "lib/{arch}/{lib}.def")}


def contract_calls(lib):
    """(name, argument bytes, ordinal) of each call in the library's export list."""
    with open(os.path.join(SOURCE, "contracts", lib + ".def")) as f:
        return [(n, int(b), int(o)) for n, b, o in re.findall(r"^\s*(\w+)@(\d+)\s+@(\d+)\s*$", f.read(), re.M)]


def objdump_for(objdump, arch):
    """The toolchain's objdump that reads the architecture's files."""
    return objdump.replace("i686-w64-mingw32", "x86_64-w64-mingw32") if arch == "x64" else objdump


def pe_header(path):
    """Machine, subsystem version and DLL characteristics from a PE file."""
    import struct
    with open(path, "rb") as f:
        data = f.read(4096)
    at = struct.unpack_from("<I", data, 0x3C)[0]
    check(data[at:at + 4] == b"PE\0\0", "%s is a PE file" % path)
    machine = struct.unpack_from("<H", data, at + 4)[0]
    optional = at + 24
    subsystem = struct.unpack_from("<HH", data, optional + 48)
    characteristics = struct.unpack_from("<H", data, optional + 70)[0]
    return machine, subsystem, characteristics


def unpack(archive, name):
    """A fresh copy of the zip's contents in a folder whose path has spaces."""
    folder = os.path.join(BUILD, "release test", name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    with zipfile.ZipFile(archive) as z:
        z.extractall(folder)
    return folder


def contents(archive):
    with zipfile.ZipFile(archive) as z:
        return {n for n in z.namelist() if not n.endswith("/")}


def compare_listing(archive, expected):
    have = contents(archive)
    check(not expected - have, "%s has every file (missing: %s)" % (os.path.basename(archive), sorted(expected - have)))
    check(not have - expected, "%s has nothing else (extra: %s)" % (os.path.basename(archive), sorted(have - expected)))


def release_probe(*args):
    result = subprocess.run([e2e.WINE, RELEASE_PROBE, *args], capture_output=True, text=True, timeout=60)
    return dict(line.partition(" ")[::2] for line in result.stdout.splitlines())


def imports(objdump, path):
    """DLL name -> set of names the file imports from it."""
    text = subprocess.run([objdump, "-p", path], capture_output=True, text=True, check=True).stdout
    table, current = {}, None
    for line in text.splitlines():
        m = re.match(r"\s*DLL Name: (\S+)", line)
        if m:
            current = table.setdefault(m.group(1).lower(), set())
            continue
        m = re.match(r"\s+[0-9a-f]+\s+\d+\s+(\S+)$", line)
        if current is not None and m:
            current.add(m.group(1))
        elif not line.strip():
            current = None
    return table


def exports(objdump, path):
    text = subprocess.run([objdump, "-p", path], capture_output=True, text=True, check=True).stdout
    names, inside = set(), False
    for line in text.splitlines():
        if "[Ordinal/Name Pointer] Table" in line:
            inside = True
        elif inside and line.strip().startswith("["):
            names.add(line.split()[-1])
        elif inside:
            inside = False
    return names


# ---------------------------------------------------------------------------

def case_zips():
    for stale in (DEMO_ZIP, SDK_ZIP):
        if os.path.exists(stale):
            os.remove(stale)
    result = subprocess.run(["cmake", "--build", BUILD, "--target", "package"], capture_output=True, text=True)
    print(result.stdout[-2000:], result.stderr[-2000:])
    check(result.returncode == 0, "the package target succeeds")
    check(os.path.isfile(DEMO_ZIP) and os.path.isfile(SDK_ZIP), "it makes both zips")
    compare_listing(DEMO_ZIP, DEMO_FILES)
    compare_listing(SDK_ZIP, SDK_FILES)
    # The SDK's documentation covers every export and every skin file key;
    # its .def files list every export at its ordinal, decorated on x86 (an
    # import library is made from them), plain on x64.
    with zipfile.ZipFile(SDK_ZIP) as z:
        docs = {lib: z.read("doc/%s.md" % lib).decode() for lib in LIBRARIES}
        for lib in LIBRARIES:
            calls = contract_calls(lib)
            names = [n for n, _, _ in calls]
            check(sorted(o for _, _, o in calls) == list(range(1, len(calls) + 1)),
                  "%s.def numbers its %d exports 1 to %d" % (lib, len(calls), len(calls)))
            for arch, form in (("x86", "%s@%d @%d"), ("x64", "%s @%d")):
                lines = [l.strip() for l in z.read("lib/%s/%s.def" % (arch, lib)).decode().splitlines()]
                want = [form % ((n, b, o) if arch == "x86" else (n, o)) for n, b, o in calls]
                check(lines[0] == "LIBRARY %s.dll" % lib and lines[lines.index("EXPORTS") + 1:] == want,
                      "lib/%s/%s.def lists the DLL's %d exports with their ordinals" % (arch, lib, len(calls)))
            missing = [n for n in names if not re.search(r"### .*\b%s\(" % n, docs[lib])]
            check(names and not missing, "doc/%s.md describes all %d calls (missing: %s)" % (lib, len(names), missing))
    with open(os.path.join(SOURCE, "pelmar", "skin.cpp")) as f:
        keys = re.findall(r'(?:Text|Int|Col|Flag)\("([a-z.]+)"', f.read())
    missing = [k for k in keys if "`%s`" % k not in docs["pelmar"]]
    check(len(keys) > 30 and not missing, "doc/pelmar.md gives all %d skin keys (missing: %s)" % (len(keys), missing))
    sdk = unpack(SDK_ZIP, "zips sdk")
    package_picks(sdk)
    property_sheet(sdk)


# What the CMake package picks for a compiler (the variables CMake sets for
# it): the import library by the compiler's ABI, the architecture by its own
# id, else by the processor and the pointer size; None: not found.
PACKAGE_CASES = [
    ("Visual C++ x86", "CMAKE_CXX_COMPILER_ID=MSVC MSVC=1 CMAKE_CXX_COMPILER_ARCHITECTURE_ID=X86 CMAKE_SIZEOF_VOID_P=4",
     "lib/x86/orvane.lib"),
    ("clang (GNU driver) for x64 Microsoft ABI", "CMAKE_CXX_COMPILER_ID=Clang CMAKE_CXX_SIMULATE_ID=MSVC "
     "CMAKE_CXX_COMPILER_FRONTEND_VARIANT=GNU CMAKE_CXX_COMPILER_ARCHITECTURE_ID=x64 CMAKE_SIZEOF_VOID_P=8",
     "lib/x64/orvane.lib"),
    ("C-only clang-cl x86", "CMAKE_C_COMPILER_ID=Clang CMAKE_C_SIMULATE_ID=MSVC CMAKE_C_COMPILER_FRONTEND_VARIANT=MSVC "
     "CMAKE_C_COMPILER_ARCHITECTURE_ID=X86 CMAKE_SIZEOF_VOID_P=4", "lib/x86/orvane.lib"),
    ("32-bit MinGW on a 64-bit host", "CMAKE_CXX_COMPILER_ID=GNU CMAKE_SYSTEM_PROCESSOR=AMD64 CMAKE_SIZEOF_VOID_P=4",
     "lib/x86/liborvane.dll.a"),
    ("clang for x86_64 MinGW", "CMAKE_CXX_COMPILER_ID=Clang CMAKE_SYSTEM_PROCESSOR=x86_64 CMAKE_SIZEOF_VOID_P=8",
     "lib/x64/liborvane.dll.a"),
    ("Visual C++ ARM64", "CMAKE_CXX_COMPILER_ID=MSVC MSVC=1 CMAKE_CXX_COMPILER_ARCHITECTURE_ID=ARM64 "
     "CMAKE_SIZEOF_VOID_P=8", None),
    ("clang for aarch64 MinGW", "CMAKE_CXX_COMPILER_ID=Clang CMAKE_SYSTEM_PROCESSOR=aarch64 CMAKE_SIZEOF_VOID_P=8",
     None),
]


def package_picks(sdk):
    """find_package(Orvane CONFIG) in a project without languages that
    pretends to have each compiler (cheap: nothing is detected)."""
    folder = os.path.join(BUILD, "release test", "package picks")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    with open(os.path.join(folder, "CMakeLists.txt"), "w") as f:
        f.write("cmake_minimum_required(VERSION 3.16)\nproject(picks LANGUAGES NONE)\n"
                "foreach(pair IN LISTS PRETEND)\n"
                "  string(REPLACE \"=\" \";\" pair \"${pair}\")\n"
                "  list(GET pair 0 name)\n  list(GET pair 1 value)\n  set(${name} ${value})\nendforeach()\n"
                "find_package(Orvane CONFIG)\nif(Orvane_FOUND)\n"
                "  get_target_property(implib Orvane::orvane IMPORTED_IMPLIB)\n  message(\"picked: ${implib}\")\n"
                "else()\n  message(\"not found: ${Orvane_NOT_FOUND_MESSAGE}\")\nendif()\n")
    for name, pretend, want in PACKAGE_CASES:
        build = os.path.join(folder, "build")
        shutil.rmtree(build, ignore_errors=True)
        run = subprocess.run(["cmake", "-S", folder, "-B", build, "-DPRETEND=" + pretend.replace(" ", ";"),
                              "-DOrvane_DIR=" + os.path.join(sdk, "lib", "cmake", "Orvane")],
                             capture_output=True, text=True)
        said = re.search(r"^(picked|not found): (.*)$", run.stdout + run.stderr, re.M)
        if want:
            got = said and said.group(1) == "picked" and os.path.relpath(said.group(2), sdk).replace(os.sep, "/")
            check(got == want, "the CMake package gives %s %s (got: %s)" % (name, want, said and said.group(0)))
        else:
            check(said and said.group(1) == "not found" and "x86 and x64 programs only" in said.group(2),
                  "the CMake package refuses %s, saying why (got: %s)" % (name, said and said.group(0)))


def property_sheet(sdk):
    """Orvane.props, evaluated for each platform: its folders and files are
    the SDK's; other platforms stop the build."""
    import xml.etree.ElementTree as ET
    ns = {"m": "http://schemas.microsoft.com/developer/msbuild/2003"}
    root = ET.parse(os.path.join(sdk, "Orvane.props")).getroot()
    arch_of = {re.search(r"== '(\w+)'", e.get("Condition")).group(1): e.text
               for e in root.findall("m:PropertyGroup/m:OrvaneArch", ns)}
    check(arch_of == {"Win32": "x86", "x64": "x64"}, "Orvane.props knows Win32 and x64 only: %s" % arch_of)
    text = lambda path: root.find(path, ns).text.split(";")
    for platform, arch in arch_of.items():
        resolve = lambda v: os.path.normpath(v.replace("$(OrvaneSdkDir)", sdk + "/").replace("$(OrvaneArch)", arch)
                                             .replace("\\", "/"))
        includes = resolve(text("m:ItemDefinitionGroup/m:ClCompile/m:AdditionalIncludeDirectories")[0])
        libdir = resolve(text("m:ItemDefinitionGroup/m:Link/m:AdditionalLibraryDirectories")[0])
        libs = text("m:ItemDefinitionGroup/m:Link/m:AdditionalDependencies")[:-1]
        dlls = [resolve(d) for d in root.find("m:Target[@Name='OrvaneCopyDlls']/m:Copy", ns).get("SourceFiles").split(";")]
        check(all(os.path.isfile(os.path.join(includes, lib + ".h")) for lib in LIBRARIES)
              and sorted(libs) == sorted(lib + ".lib" for lib in LIBRARIES)
              and all(os.path.isfile(os.path.join(libdir, lib)) for lib in libs)
              and sorted(map(os.path.basename, dlls)) == sorted(lib + ".dll" for lib in LIBRARIES)
              and all(os.path.isfile(d) and os.sep + arch + os.sep in d for d in dlls),
              "Orvane.props for %s: the include folder, lib/%s with the three .lib files and its DLLs" % (platform, arch))
    check(root.find("m:Target[@Name='OrvaneUnsupportedPlatform']", ns).get("Condition") == "'$(OrvaneArch)' == ''",
          "Orvane.props stops the build on other platforms")


def case_versions():
    folders = [unpack(DEMO_ZIP, "versions demo"), unpack(SDK_ZIP, "versions sdk")]
    shipped = [os.path.join(root, name) for folder in folders for root, _, names in os.walk(folder)
               for name in names if name.endswith((".exe", ".dll"))]
    check(len(shipped) == 10, "ten programs and DLLs shipped (%d)" % len(shipped))
    for path in shipped:
        name = os.path.basename(path)
        # Each file's machine is its folder's; every one asks for Windows 6.0
        # (Vista) or later, so Windows gives it the current window metrics;
        # the program says it is aware of terminal services.
        machine, subsystem, characteristics = pe_header(path)
        arch = "x64" if os.sep + "x64" + os.sep in path else "x86"
        check(machine == ARCHS[arch]["machine"], "%s: machine 0x%x for %s" % (path, machine, arch))
        check(subsystem >= (6, 0), "%s: subsystem version %d.%d, 6.0 or later" % (name, *subsystem))
        if name.endswith(".exe"):
            check(characteristics & 0x8000, "%s is terminal-server aware" % name)
        info = release_probe("version", path)
        dotted = VERSION + ".0" * (3 - VERSION.count("."))
        want = {"resource": "1", "fixed_file": dotted, "fixed_product": dotted, "FileVersion": VERSION,
                "ProductVersion": VERSION, "ProductName": "Orvane", "OriginalFilename": name,
                "file_type": "1" if name.endswith(".exe") else "2"}
        wrong = {k: info.get(k) for k, v in want.items() if info.get(k) != v}
        check(not wrong and info.get("FileDescription", "").startswith("Orvane ")
              and "Copyright" in info.get("LegalCopyright", ""),
              "%s: version %s, %s (wrong: %s)" % (name, VERSION, info.get("FileDescription"), wrong))


def case_msvc_libs():
    """Links a program built for Microsoft's ABI from the SDK's own headers
    (clang in that ABI, MinGW's windows.h) against the SDK's .lib files with
    Microsoft-style linking, taking the address of every export of the SDK's
    .def files: a call missing from a header fails the compile, a
    declaration out of step with the DLL (its x86 decoration) the link, and
    the program must import exactly the names each DLL exports."""
    clang, lld_link, objdump, mingw_headers = sys.argv[4:8]
    sdk = unpack(SDK_ZIP, "msvc sdk")
    for arch, a in ARCHS.items():
        work = os.path.join(BUILD, "release test", "msvc link " + arch)
        os.makedirs(work, exist_ok=True)
        names = []
        for lib in LIBRARIES:
            with open(os.path.join(sdk, "lib", arch, lib + ".def")) as f:
                names += re.findall(r"^\s*([A-Za-z_]\w*)(?:@\d+)?\s+@\d+\s*$", f.read(), re.M)
        source = os.path.join(work, "uses_all.c")
        with open(source, "w") as f:
            f.write("".join('#include "%s.h"\n' % h for h in LIBRARIES + ("anchor_codes",)))
            f.write("void* used[] = {%s};\n" % ", ".join("(void*)&%s" % n for n in names))
            f.write("int __stdcall start(void) { return used[0] != 0; }\n")
        obj, exe = os.path.join(work, "uses_all.obj"), os.path.join(work, "uses_all.exe")
        # MinGW's windows.h in the Microsoft ABI wants the GNU version macro, and _X86_ on x86.
        compiled = subprocess.run([clang, "--target=" + a["clang"], "-fgnuc-version=4.2.1", "-isystem", mingw_headers,
                                   "-I", os.path.join(sdk, "include"), "-c", source, "-o", obj]
                                  + (["-D_X86_"] if arch == "x86" else []), capture_output=True, text=True)
        if compiled.returncode:
            print(compiled.stdout, compiled.stderr[-3000:])
        check(compiled.returncode == 0 and len(names) > 30,
              "%s: the SDK's headers declare all %d exports" % (arch, len(names)))
        libs = [os.path.join(sdk, "lib", arch, lib + ".lib") for lib in LIBRARIES]
        link = subprocess.run([lld_link, "/machine:" + a["lld"], "/entry:start", "/subsystem:console", "/nodefaultlib",
                               "/out:" + exe, obj, *libs], capture_output=True, text=True)
        if link.returncode:
            print(link.stdout, link.stderr)
        check(link.returncode == 0, "%s: lld-link resolves every export through the .lib files" % arch)
        check(pe_header(exe)[0] == a["machine"], "%s: the program linked is an %s program" % (arch, arch))
        table = imports(objdump_for(objdump, arch), exe)
        for lib in LIBRARIES:
            want = exports(objdump_for(objdump, arch), os.path.join(sdk, "bin", arch, lib + ".dll"))
            check(want and table.get(lib + ".dll") == want,
                  "%s: %s.lib imports the DLL's %d exports by their names" % (arch, lib, len(want)))


def case_demo():
    compare_listing(DEMO_ZIP, DEMO_FILES)
    folder = unpack(DEMO_ZIP, "Orvane demo")
    program = os.path.join(folder, "orvane_demo.exe")
    process = e2e.start(program)
    try:
        info = e2e.wait_window()
        check(info["title"].startswith("Orvane control %s " % VERSION), "title carries the version: " + info["title"])
        time.sleep(2.0)
        rect = e2e.view_rect(info)
        first = e2e.crop(e2e.screenshot("release-demo-1"), rect)
        time.sleep(1.0)
        second = e2e.crop(e2e.screenshot("release-demo-2"), rect)
        box, count = e2e.changed_box(first, second)
        check(box is not None and count > 200, "the model animates (%d pixels changed)" % count)
        w = rect[2]
        check(w * 0.25 < e2e.centre_x(box) < w * 0.75, "in the middle of the view: %s" % (box,))
        check(e2e.overlay_pixels(second) > 150, "the overlay shows")
        check(e2e.close_and_wait(process) == 0, "closing ends the program with exit code 0")
    finally:
        e2e.stop(process)


SAMPLE_CLASS = "OrvaneModelViewer"
SAMPLE_CLEAR = (26, 31, 41)   # the sample's clear colour, 0.10 0.12 0.16


def hues(pixels):
    """The pixels' colours with their brightness taken out, in coarse steps."""
    found = set()
    for r, g, b in pixels:
        top = max(r, g, b)
        if top >= 60:
            found.add((r * 6 // top, g * 6 // top, b * 6 // top))
    return found


def far_from(pixel, colour, threshold=40):
    return sum(abs(a - b) for a, b in zip(pixel, colour)) > threshold


def case_sdk_sample():
    """The sample, built from the unpacked SDK for each architecture and run:
    the 64-bit one in the 64-bit build's Wine prefix and display."""
    sdk = unpack(SDK_ZIP, "Orvane SDK")
    x86 = (e2e.HARNESS, e2e.WINE)
    try:
        for arch, a in ARCHS.items():
            e2e.HARNESS = a["harness"]
            e2e.WINE = os.path.join(a["harness"], "wine-run.sh")
            subprocess.run([e2e.WINE, "--ready"], check=True, timeout=120)
            sample_on(arch, sdk, objdump_for(sys.argv[4], arch))
    finally:
        e2e.HARNESS, e2e.WINE = x86


def sample_on(arch, sdk, objdump):
    sample, build = os.path.join(sdk, "sample"), os.path.join(sdk, "sample build " + arch)
    configure = subprocess.run(["cmake", "-S", sample, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                                "-DCMAKE_TOOLCHAIN_FILE=" + os.path.join(sample, ARCHS[arch]["toolchain"])],
                               capture_output=True, text=True)
    if configure.returncode:
        print(configure.stdout[-2000:], configure.stderr[-2000:])
    check(configure.returncode == 0, "the sample configures on its own")
    with open(os.path.join(build, "CMakeCache.txt")) as f:
        found = re.search(r"^Orvane_DIR:PATH=(.*)$", f.read(), re.M)
    check(found and os.path.samefile(found.group(1), os.path.join(sdk, "lib", "cmake", "Orvane")),
          "the sample finds the SDK as a CMake package (find_package(Orvane CONFIG))")
    made = subprocess.run(["cmake", "--build", build, "-v"], capture_output=True, text=True)
    if made.returncode:
        print(made.stdout[-3000:], made.stderr[-2000:])
    check(made.returncode == 0, "the sample builds")
    commands = made.stdout
    with open(os.path.join(build, "build.ninja")) as f:
        rules = f.read()
    # The unpacked SDK lies inside this build tree; any other path of the tree is a leak.
    outside = (commands + rules).replace(sdk, "<sdk>").replace(sdk.replace(" ", "$ "), "<sdk>")
    check(SOURCE not in outside, "nothing from the source tree on the sample's compile or link lines")
    check(os.path.join(sdk, "include") in commands and os.path.join(sdk, "lib", arch, "liborvane.dll.a") in commands,
          "the SDK's headers and %s import libraries are used" % arch)
    viewer = os.path.join(build, "model_viewer.exe")
    check(pe_header(viewer)[0] == ARCHS[arch]["machine"], "the sample is an %s program" % arch)
    for dll in LIBRARIES:
        check(os.path.isfile(os.path.join(build, dll + ".dll")), dll + ".dll copied beside the sample")
    check(set(imports(objdump, viewer)) >= {lib + ".dll" for lib in LIBRARIES}, "the sample imports all three DLLs")

    process = subprocess.Popen([e2e.WINE, viewer, os.path.join(sample, "data", "Sydney.md2")],
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        end, info = time.time() + 30, {}
        while time.time() < end and info.get("visible") != "1":
            time.sleep(0.3)
            info = release_probe("window", SAMPLE_CLASS)
        check(info.get("visible") == "1", "the sample's window appears: " + info.get("title", ""))
        check(("Orvane %s" % VERSION) in info["title"], "its title shows the library's version")
        time.sleep(2.0)
        x, y, cw, ch = e2e.numbers(info["client"])
        first = e2e.screenshot("release-sample-%s-1" % arch)
        time.sleep(0.8)
        second = e2e.screenshot("release-sample-%s-2" % arch)
        view = second.crop((x + 10, y + 10, x + cw - 10, y + ch - 10))
        vw, vh = view.size
        corners = [view.getpixel(p) for p in ((4, vh - 5), (vw - 5, vh - 5), (vw - 5, 40))]
        check(all(not far_from(c, SAMPLE_CLEAR) for c in corners), "the view is cleared in its colour: %s" % corners)
        model = [p for p in view.crop((0, 30, vw, vh)).getdata() if far_from(p, SAMPLE_CLEAR)]
        check(len(model) > 3000, "the model covers the view's middle (%d pixels)" % len(model))
        check(len(set(model)) > 200, "lit (%d colours)" % len(set(model)))
        # Light alone shades one colour darker and lighter; the texture brings
        # hues of their own (skin, hair, shirt, trousers).
        check(len(hues(model)) >= 12, "and textured (%d hues)" % len(hues(model)))
        below_text = view.crop((0, 30, vw, vh))
        box, _ = e2e.changed_box(below_text, e2e.Image.new("RGB", below_text.size, SAMPLE_CLEAR), skip_overlay=False)
        check(box is not None and vw * 0.3 < (box[0] + box[2]) / 2 < vw * 0.7, "centred: %s of %d" % (box, vw))
        moved, count = e2e.changed_box(first.crop((x + 10, y + 40, x + cw - 10, y + ch - 10)),
                                       second.crop((x + 10, y + 40, x + cw - 10, y + ch - 10)), skip_overlay=False)
        check(count > 100, "the model animates (%d pixels changed)" % count)
        caption = second.crop((x, max(0, y - 24), x + cw, y - 4))
        red = sum(1 for r, g, b in caption.getdata() if r > g + 40 and r > b + 30)
        check(red > cw * 10, "the skin engine dresses the window: red caption (%d pixels)" % red)
        subprocess.run([e2e.WINE, RELEASE_PROBE, "close", SAMPLE_CLASS], timeout=60)
        check(process.wait(20) == 0, "the sample closes with exit code 0")
    finally:
        if process.poll() is None:
            subprocess.run([e2e.WINE, RELEASE_PROBE, "close", SAMPLE_CLASS], timeout=60)
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()


CASES = {
    "zips": case_zips,
    "versions": case_versions,
    "msvc_libs": case_msvc_libs,
    "demo": case_demo,
    "sdk_sample": case_sdk_sample,
}

if __name__ == "__main__":
    try:
        if sys.argv[2] == "demo":
            e2e.no_program_running()
        CASES[sys.argv[2]]()
    except Failure as failure:
        print("FAILED:", failure)
        sys.exit(1)
