"""The Windows ZIP that CPack builds: every program, linked against no DLL
but Windows' own, runs from the unpacked archive with its banner; the
README, the copyright and the manual pages as text with CR LF line ends."""

import os
import re
import subprocess
import tempfile
import unittest
import zipfile

import wine

BUILD_DIR = os.environ["SKERRY_BUILD_DIR"]
PROGRAMS = [name for name in os.environ["SKERRY_WINDOWS_PROGRAMS"].split(",") if name]
# DLLs that come with every Windows (the C runtime msvcrt included).
SYSTEM_DLLS = {"kernel32.dll", "msvcrt.dll", "version.dll", "user32.dll", "advapi32.dll", "ws2_32.dll",
               "shell32.dll", "ole32.dll", "bcrypt.dll"}


class PackageTest(unittest.TestCase):
    def test_zip(self):
        with tempfile.TemporaryDirectory(prefix="skerry-windows-package-") as folder:
            subprocess.run(["cpack", "-G", "ZIP", "--config", os.path.join(BUILD_DIR, "CPackConfig.cmake"),
                            "-B", folder], check=True, capture_output=True, timeout=300)
            archives = [name for name in os.listdir(folder) if name.endswith(".zip")]
            self.assertEqual(len(archives), 1, archives)
            self.assertRegex(archives[0], r"^skerry-lint-\d+\.\d+-windows-x64\.zip$")
            unpacked = os.path.join(folder, "unpacked")
            with zipfile.ZipFile(os.path.join(folder, archives[0])) as archive:
                names = set(archive.namelist())
                archive.extractall(unpacked)
            for program in PROGRAMS:
                with self.subTest(program=program):
                    self.assertIn(program + ".exe", names)
                    self.assertIn(program + ".txt", names)
                    path = os.path.join(unpacked, program + ".exe")
                    dump = subprocess.run([os.environ["SKERRY_OBJDUMP"], "-p", path], check=True,
                                          capture_output=True, text=True).stdout
                    dlls = {name.lower() for name in re.findall(r"DLL Name: (\S+)", dump)}
                    self.assertTrue(dlls, dump)
                    self.assertLessEqual(dlls, SYSTEM_DLLS)
                    with open(os.path.join(unpacked, program + ".txt"), "rb") as page:
                        text = page.read()
                    self.assertIn(b"NAME\r\n", text)
                    self.assertEqual(text.count(b"\n"), text.count(b"\r\n"))
                    self.assertNotIn(b"\x08", text)  # no overstrike left by groff
            self.assertLessEqual({"README.md", "CHANGELOG.md", "COPYRIGHT.txt"}, names)
            code, out, _ = wine.run_windows([], unpacked, program=os.path.join(unpacked, "Skerry_Lint.exe"))
            self.assertEqual(code, 0)
            self.assertRegex(out.split(b"\r\n")[0], rb"^Skerry_Lint version \d+\.\d+ from ")


if __name__ == "__main__":
    unittest.main()
