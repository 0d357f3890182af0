#!/usr/bin/env python3
"""Reads what CMake generated for the macOS build and checks it.

    tests/mac/check-mac-build.py <build folder>

The folder is configured with cmake/toolchains/darwin.cmake (scripts/test.sh
does it); nothing in it is built. Checked:
- the bundle's Info.plist, read as a property list: every key the system
  and the app rely on, with the build's values;
- the entitlements the app is signed with;
- the icon the Info.plist names: copied into the bundle, a well-formed .icns;
- the build graph (`ninja -t commands`): the app, the helper and the core
  compiled and linked for both architectures at the deployment target; each
  linked program checked for libraries outside macOS; the helper placed and
  signed inside the bundle before the bundle is signed, with the hardened
  runtime and the entitlements; the disk image made from the signed app.
Prints one line per failed check and exits 1 if there was one.
"""
import plistlib
import re
import shlex
import struct
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent.parent
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
    return condition


def cache(build, name):
    match = re.search(rf"^{name}:[A-Z]+=(.*)$", (build / "CMakeCache.txt").read_text(), re.M)
    if not match:
        sys.exit(f"{name} is not in the cache of {build}")
    return match.group(1)


def commands(build, target):
    """Every command ninja would run for the target, each split at '&&'."""
    out = subprocess.run(["ninja", "-C", str(build), "-t", "commands", target],
                         check=True, capture_output=True, text=True).stdout
    return [[step.strip() for step in line.split("&&") if step.strip() not in ("", ":")]
            for line in out.splitlines()]


def check_info_plist(build, bundle):
    path = bundle / "Contents/Info.plist"
    if not check(path.exists(), f"{path} was not generated"):
        return
    try:
        info = plistlib.loads(path.read_bytes())
    except Exception as error:  # any reader error is the finding
        check(False, f"Info.plist is not a property list: {error}")
        return
    version = cache(build, "PELKO_VERSION")
    expected = {
        "CFBundleExecutable": "Pelko",
        "CFBundleIdentifier": cache(build, "PELKO_BUNDLE_IDENTIFIER"),
        "CFBundleName": "Pelko",
        "CFBundlePackageType": "APPL",
        "CFBundleInfoDictionaryVersion": "6.0",
        "CFBundleShortVersionString": version,
        "CFBundleVersion": version,
        "CFBundleIconFile": "Pelko",
        "LSMinimumSystemVersion": cache(build, "CMAKE_OSX_DEPLOYMENT_TARGET"),
        "LSFileQuarantineEnabled": True,
        "NSPrincipalClass": "NSApplication",
        "NSHighResolutionCapable": True,
    }
    for key, value in expected.items():
        check(info.get(key) == value, f"Info.plist: {key} is {info.get(key)!r}, not {value!r}")
    # The texts the system shows when it asks the user.
    for key in ("NSMicrophoneUsageDescription", "NSSpeechRecognitionUsageDescription",
                "NSDownloadsFolderUsageDescription"):
        text = info.get(key)
        check(isinstance(text, str) and len(text.strip()) > 20, f"Info.plist: {key} is missing or empty")
    for key, value in info.items():
        check(not (isinstance(value, str) and "@" in value), f"Info.plist: {key} was not configured: {value!r}")


def check_entitlements():
    path = ROOT / "packaging/mac/Pelko.entitlements"
    entitlements = plistlib.loads(path.read_bytes())
    check(entitlements.get("com.apple.security.device.audio-input") is True,
          "the entitlements do not grant the microphone (com.apple.security.device.audio-input)")


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", data[16:24])


def check_icon(steps):
    icon = ROOT / "packaging/mac/Pelko.icns"
    check(any(re.search(r"copy \S*/packaging/mac/Pelko\.icns \S*Pelko\.app/Contents/Resources/Pelko\.icns$", s)
              for s in steps), "Pelko.icns is not copied into Contents/Resources")
    data = icon.read_bytes()
    if not check(data[:4] == b"icns" and struct.unpack(">I", data[4:8])[0] == len(data),
                 "Pelko.icns has no icns header of its own length"):
        return
    sizes = {b"icp4": 16, b"ic11": 32, b"icp5": 32, b"ic12": 64, b"ic07": 128,
             b"ic13": 256, b"ic08": 256, b"ic14": 512, b"ic09": 512, b"ic10": 1024}
    found = set()
    offset = 8
    while offset + 8 <= len(data):
        kind, length = data[offset:offset + 4], struct.unpack(">I", data[offset + 4:offset + 8])[0]
        if not check(length >= 8 and offset + length <= len(data), f"Pelko.icns: entry {kind!r} runs past the end"):
            return
        if kind in sizes:
            pixels = sizes[kind]
            check(png_size(data[offset + 8:offset + length]) == (pixels, pixels),
                  f"Pelko.icns: {kind.decode()} is not a {pixels}x{pixels} PNG")
            found.add(kind)
        offset += length
    check(found == set(sizes), f"Pelko.icns lacks {sorted(k.decode() for k in set(sizes) - found)}")


def check_architectures(build, target_version):
    for target in ("Pelko", "PelkoHelper"):
        compiles = 0
        for line in commands(build, target):
            for step in line:
                words = shlex.split(step)
                # The compiler may come after a launcher (ccache).
                if not any(word.endswith(("clang++-16", "clang-16")) for word in words[:2]):
                    continue
                compiles += 1
                what = f"{target}: {' '.join(words[-1:])}"
                check("arm64" in arch_flags(words) and "x86_64" in arch_flags(words),
                      f"{what} is not built for both arm64 and x86_64")
                check(f"-mmacosx-version-min={target_version}" in words, f"{what} is not built for macOS {target_version}")
        check(compiles > 1, f"no compile or link command found for {target}")


def arch_flags(words):
    return {words[i + 1] for i, word in enumerate(words[:-1]) if word == "-arch"}


def index_of(steps, pattern, what):
    for i, step in enumerate(steps):
        if re.search(pattern, step):
            return i
    check(False, f"the app's build has no step that {what}")
    return None


def check_bundle_steps(build):
    lines = commands(build, "Pelko")
    # The link of the app, followed by its post-build steps, is the last command.
    steps = lines[-1]
    check_icon([step for line in lines for step in line])
    agent = r"Pelko\.app/Contents/Resources/imessage-agent"
    order = [
        index_of(steps, r"clang\S* .* -o \S*Pelko\.app/Contents/MacOS/Pelko( |$)", "links the app"),
        index_of(steps, r"-DBINARY=\S*/helper/PelkoHelper -P \S*CheckSystemLinks\.cmake", "checks the helper's libraries"),
        index_of(steps, r"-DBINARY=\S*Pelko\.app/Contents/MacOS/Pelko -P \S*CheckSystemLinks\.cmake", "checks the app's libraries"),
        index_of(steps, rf"copy \S*/helper/PelkoHelper \S*{agent}/PelkoHelper$", "places the helper in the bundle"),
        index_of(steps, rf"copy \S*/helper/dist/index\.js \S*{agent}/dist/index\.js$", "places the helper's script"),
        index_of(steps, rf"codesign --force --options runtime .*--sign \S+ \S*{agent}/PelkoHelper$", "signs the helper"),
        index_of(steps, r"codesign --force --options runtime .*--entitlements \S*/packaging/mac/Pelko\.entitlements "
                        r"--sign \S+ \S*/Pelko\.app$", "signs the app with its entitlements"),
    ]
    if None not in order:
        check(order == sorted(order), "the app's build does not link, check the libraries, place and sign the "
                                      "helper, and sign the app, in that order")
    dmg = commands(build, "dmg")
    last = dmg[-1]
    check(any(line == steps for line in dmg[:-1]), "the disk image is not made after the app is built and signed")
    stage = index_of(last, r"ditto \S*/Pelko\.app \S*/dmg/Pelko\.app$", "copies the app into the disk image")
    image = index_of(last, r"hdiutil create -volname Pelko -srcfolder \S*/dmg .*\.dmg$", "makes the disk image")
    if stage is not None and image is not None:
        check(stage < image, "the disk image is made before the app is copied in")


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    build = Path(sys.argv[1]).resolve()
    bundle = build / "src/mac/Pelko.app"
    check_info_plist(build, bundle)
    check_entitlements()
    check_architectures(build, cache(build, "CMAKE_OSX_DEPLOYMENT_TARGET"))
    check_bundle_steps(build)
    for failure in failures:
        print(f"FAILED: {failure}")
    if failures:
        sys.exit(1)
    print("the macOS build's Info.plist, icon, architectures, link checks, signing and disk image are as they should be")


if __name__ == "__main__":
    main()
