#!/usr/bin/env python3
"""Cases for check_includes.py: small trees written to a temporary folder,
each with the cycles the checker must find (or none)."""
import os
import subprocess
import sys
import tempfile
import unittest

CHECKER = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'check_includes.py')

# name: (files, kinds of cycle expected)
CASES = {
    'no cycle': ({'a/A.h': '', 'a/A.cpp': '#include "a/A.h"\n#include "b/B.h"\n',
                  'b/B.h': '', 'b/B.cpp': '#include "b/B.h"\n'}, []),
    'two headers': ({'a/A.h': '#include "a/B.h"\n', 'a/B.h': '#include "a/A.h"\n'},
                    ['files', 'components']),
    'header and source': ({'a/A.h': '', 'a/A.cpp': '#include "a/A.h"\n#include "a/B.h"\n',
                           'a/B.h': '#include "a/A.h"\n'}, ['components']),
    'source of another name': ({'m/TTools.h': 'class TTools {\n};\n',
                                'm/Part.cpp': '#include "m/TWalk.h"\nvoid TTools::Go() {}\n',
                                'm/TWalk.h': '', 'm/TWalk.cpp': '#include "m/TTools.h"\n'},
                               ['components']),
    'definition in another folder': ({'g/TFile.h': 'class TFile {\n};\n',
                                      'p/Shim.cpp': '#include "g/TFile.h"\n#include "p/TNew.h"\n'
                                                    'void TFile::Old() {}\n',
                                      'p/TNew.h': '#include "g/TFile.h"\n'}, []),
    'folders': ({'a/A.h': '#include "b/B.h"\n', 'b/B.h': '', 'b/C.h': '#include "a/D.h"\n',
                 'a/D.h': ''}, ['folders']),
    'build folders left out': ({'a/A.h': '', 'build/x/A.h': '#include "a/A.h"\n',
                                'a/B.h': '#include "build/x/A.h"\n'}, []),
}


class CheckIncludesTest(unittest.TestCase):
    def test_cases(self):
        for name, (files, expected) in CASES.items():
            with self.subTest(name), tempfile.TemporaryDirectory() as root:
                for path, text in files.items():
                    os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
                    with open(os.path.join(root, path), 'w') as out:
                        out.write(text)
                run = subprocess.run([sys.executable, CHECKER, root], capture_output=True,
                                     text=True)
                found = sorted({line.split(':')[0].rsplit(' ', 1)[1]
                                for line in run.stdout.splitlines()
                                if line.startswith('include cycle between')})
                self.assertEqual(found, sorted(expected), run.stdout)
                self.assertEqual(run.returncode, 1 if expected else 0, run.stdout)


if __name__ == '__main__':
    unittest.main()
