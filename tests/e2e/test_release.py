"""The release as a user gets it (tools/release.sh, into dist/): the two zips and their checksums,
what each holds, and the program this host runs, started from the unpacked folder."""

import hashlib
import os
import re
import subprocess
import zipfile

import pytest

import rig

RELEASE, VERSION = os.environ["VELMORA_RELEASE_DIR"], os.environ["VELMORA_VERSION"]  # from CMake
ZIPS = {arch: f"velmora-{VERSION}-{arch}.zip" for arch in ("win32", "win64")}
FORMATS = {"win32": ("i686", "pei-i386"), "win64": ("x86_64", "pei-x86-64")}
WINDOWS_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll", "comdlg32.dll",
                "shell32.dll", "msimg32.dll", "advapi32.dll"}


def test_two_zips_and_their_checksums():
    assert sorted(os.listdir(RELEASE)) == ["SHA256SUMS", *sorted(ZIPS.values())]
    with open(os.path.join(RELEASE, "SHA256SUMS")) as sums:
        listed = {name: digest for digest, name in map(str.split, sums)}
    assert sorted(listed) == sorted(ZIPS.values())
    for name, digest in listed.items():
        with open(os.path.join(RELEASE, name), "rb") as zipped:
            assert hashlib.sha256(zipped.read()).hexdigest() == digest, name


def version_record(exe):
    """(file version numbers, {key: text}) of a program file's version record."""
    fixed = exe.index(b"\xbd\x04\xef\xfe")  # VS_FIXEDFILEINFO's signature
    ms, ls = (int.from_bytes(exe[fixed + i:fixed + i + 4], "little") for i in (8, 12))
    texts = {}
    for key in ("FileVersion", "ProductVersion", "OriginalFilename", "FileDescription"):
        # The key, NUL, padding to 32 bits, then the value up to its NUL, in UTF-16.
        after = exe.index((key + "\0").encode("utf-16-le")) + 2 * len(key) + 2
        value = re.match(rb"(?:\0\0)*((?:[^\0].|\0[^\0])*)\0\0", exe[after:], re.S)[1]
        texts[key] = value.decode("utf-16-le")
    return (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF), texts


@pytest.mark.parametrize("arch", ["win32", "win64"])
def test_each_zip_holds_the_stripped_program_and_the_read_me(arch, tmp_path):
    with zipfile.ZipFile(os.path.join(RELEASE, ZIPS[arch])) as zipped:
        assert sorted(zipped.namelist()) == ["README.txt", "velmora.exe"]
        zipped.extractall(tmp_path)
    read_me = (tmp_path / "README.txt").read_bytes()
    assert read_me.startswith(b"\xef\xbb\xbf") and "退出" in read_me.decode("utf-8")
    prefix, file_format = FORMATS[arch]
    dump = subprocess.run([f"{prefix}-w64-mingw32-objdump", "-h", "-p", tmp_path / "velmora.exe"],
                          capture_output=True, text=True, check=True).stdout
    assert f"file format {file_format}" in dump
    sections = re.findall(r"^ +\d+ (\S+)", dump, re.M)
    assert ".text" in sections and not [s for s in sections if "debug" in s or s[0] == "/"]
    dlls = {dll.lower() for dll in re.findall(r"DLL Name: (\S+)", dump)}
    assert dlls and dlls <= WINDOWS_DLLS
    numbers, texts = version_record((tmp_path / "velmora.exe").read_bytes())
    assert ".".join(map(str, numbers)) == VERSION
    text = f"{numbers[0]}.{numbers[1]:02d}.{numbers[3]:04d}"  # 1.0.0.4 reads 1.00.0004
    assert texts == {"FileVersion": text, "ProductVersion": text,
                     "OriginalFilename": "velmora.exe", "FileDescription": "自动关机软件"}


def test_the_unpacked_program_shows_its_window(group):
    folder = os.path.join(group.folder, "unpacked")
    with zipfile.ZipFile(os.path.join(RELEASE, ZIPS[os.environ["VELMORA_ARCH"]])) as zipped:
        zipped.extractall(folder)
    velmora = rig.Velmora(group, group.start(os.path.join(folder, "velmora.exe")))
    assert velmora.geometry()[2:] == rig.FULL
