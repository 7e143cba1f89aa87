#!/usr/bin/env python3
"""Fails when the project's own #include graph has a cycle.

Reads every .h and .cpp file under the given folder (build folders and hidden
ones left out) and its quoted includes, each resolved against the including
file's folder, the project root and tests/ (the include paths of the build).
Three graphs are checked, and every cycle in each is printed:

  files       a file includes another;
  components  a header and the sources that implement it count as one node:
              the source of the same name beside it, and any other source in
              the same folder that defines members of a class the header
              declares (maptools/Resample.cpp implements maptools/TMapTools.h);
  folders     a file of one folder includes a file of another.

Usage: tools/check_includes.py [project folder]   (default: the script's parent)
Exit status 0 without cycles, 1 with.
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
DECLARATION = re.compile(r'^(?:class|struct)\s+(\w+)\b(?!.*;\s*$)')
# A definition at the start of a line: [return type] Class::member(
DEFINITION = re.compile(r'^(?![#/ \t}])(?:[\w:<>,\*&\s]*?[\s\*&])?(\w+)::~?(?:\w+|operator\S+)\s*\(')
SOURCES = ('.h', '.cpp')


def project_files(root):
    found = []
    for folder, subfolders, files in os.walk(root):
        subfolders[:] = sorted(d for d in subfolders
                               if not d.startswith('.') and not d.startswith('build'))
        for name in sorted(files):
            if name.endswith(SOURCES):
                found.append(os.path.relpath(os.path.join(folder, name), root))
    return found


def read_lines(root, path):
    with open(os.path.join(root, path), encoding='utf-8', errors='replace') as text:
        return text.read().splitlines()


def resolve(root, including, name, known):
    for base in (os.path.dirname(including), '', 'tests'):
        candidate = os.path.normpath(os.path.join(base, name))
        if candidate in known:
            return candidate
    return None


def components(root, files, lines):
    """The component of each file: the header it belongs to, or itself."""
    declared = {}
    for path in files:
        if path.endswith('.h'):
            for line in lines[path]:
                match = DECLARATION.match(line)
                if match:
                    declared.setdefault((os.path.dirname(path), match.group(1)), path)
    parent = {path: path for path in files}

    def find(path):
        while parent[path] != path:
            parent[path] = parent[parent[path]]
            path = parent[path]
        return path

    def join(a, b):
        parent[find(a)] = find(b)

    known = set(files)
    for path in files:
        if not path.endswith('.cpp'):
            continue
        header = path[:-4] + '.h'
        if header in known:
            join(path, header)
        folder = os.path.dirname(path)
        for line in lines[path]:
            match = DEFINITION.match(line)
            if match and (folder, match.group(1)) in declared:
                join(path, declared[(folder, match.group(1))])
    # Name each component after its headers, or its one source.
    members = {}
    for path in files:
        members.setdefault(find(path), []).append(path)
    names = {}
    for top, group in members.items():
        headers = [path for path in group if path.endswith('.h')]
        names[top] = ' + '.join(headers) if headers else group[0]
    return {path: names[find(path)] for path in files}


def cycles(edges):
    """Strongly connected components with more than one node (Tarjan)."""
    index, low, on_stack, stack, found = {}, {}, set(), [], []
    counter = [0]
    nodes = sorted(set(edges) | {b for targets in edges.values() for b in targets})
    for start in nodes:
        if start in index:
            continue
        work = [(start, iter(sorted(edges.get(start, ()))))]
        index[start] = low[start] = counter[0]
        counter[0] += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, targets = work[-1]
            advanced = False
            for target in targets:
                if target not in index:
                    index[target] = low[target] = counter[0]
                    counter[0] += 1
                    stack.append(target)
                    on_stack.add(target)
                    work.append((target, iter(sorted(edges.get(target, ())))))
                    advanced = True
                    break
                if target in on_stack:
                    low[node] = min(low[node], index[target])
            if advanced:
                continue
            work.pop()
            if work:
                low[work[-1][0]] = min(low[work[-1][0]], low[node])
            if low[node] == index[node]:
                group = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    group.append(member)
                    if member == node:
                        break
                if len(group) > 1:
                    found.append(sorted(group))
    return found


def report(kind, groups, evidence):
    for group in groups:
        print(f'include cycle between {kind}: ' + ', '.join(group))
        members = set(group)
        for (a, b), where in sorted(evidence.items()):
            if a in members and b in members:
                print(f'  {a} -> {b}: {where}')


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                           os.path.join(os.path.dirname(__file__), '..'))
    files = project_files(root)
    known = set(files)
    lines = {path: read_lines(root, path) for path in files}
    includes = {}
    for path in files:
        targets = []
        for line in lines[path]:
            match = INCLUDE.match(line)
            if match:
                target = resolve(root, path, match.group(1), known)
                if target and target != path:
                    targets.append(target)
        includes[path] = targets

    component = components(root, files, lines)
    graphs = {'files': lambda path: path,
              'components': lambda path: component[path],
              'folders': lambda path: os.path.dirname(path) or '.'}
    failed = False
    for kind, node in graphs.items():
        edges, evidence = {}, {}
        for path, targets in includes.items():
            for target in targets:
                a, b = node(path), node(target)
                if a != b:
                    edges.setdefault(a, set()).add(b)
                    evidence.setdefault((a, b), f'{path} includes {target}')
        groups = cycles(edges)
        report(kind, groups, evidence)
        failed = failed or bool(groups)
    print(f'{len(files)} files read: ' + ('include cycles found' if failed else 'no include cycle'))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
