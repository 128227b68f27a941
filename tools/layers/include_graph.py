#!/usr/bin/env python3
"""Draws the include graph of src/ and prints its circles (strongly connected
components of more than one file) and the folder-to-folder edges.

  python3 tools/layers/include_graph.py [--folders] [--max=N] [SRC]

With --max=N it fails (exit 1) when a circle holds more than N files.
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def source_files(src):
    for folder, _, names in os.walk(src):
        for name in names:
            if name.endswith(('.h', '.cpp')):
                yield os.path.relpath(os.path.join(folder, name), src)


def includes(src, path):
    with open(os.path.join(src, path), encoding='utf-8', errors='replace') as f:
        for number, line in enumerate(f, 1):
            m = INCLUDE.match(line)
            if m:
                yield number, m.group(1)


def graph(src):
    """File -> the files it includes, joining a header and its .cpp as one node."""
    files = set(source_files(src))
    node = lambda p: os.path.splitext(p)[0]
    edges = {}
    for path in files:
        targets = edges.setdefault(node(path), set())
        for _, name in includes(src, path):
            if name in files and node(name) != node(path):
                targets.add(node(name))
    return edges


def circles(edges):
    """Tarjan's strongly connected components, written without recursion."""
    index, low, on_stack, stack, found = {}, {}, set(), [], []
    counter = 0
    for start in sorted(edges):
        if start in index:
            continue
        work = [(start, iter(sorted(edges.get(start, ()))))]
        index[start] = low[start] = counter
        counter += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            v, it = work[-1]
            advanced = False
            for w in it:
                if w not in index:
                    index[w] = low[w] = counter
                    counter += 1
                    stack.append(w)
                    on_stack.add(w)
                    work.append((w, iter(sorted(edges.get(w, ())))))
                    advanced = True
                    break
                if w in on_stack:
                    low[v] = min(low[v], index[w])
            if advanced:
                continue
            work.pop()
            if work:
                low[work[-1][0]] = min(low[work[-1][0]], low[v])
            if low[v] == index[v]:
                part = []
                while True:
                    w = stack.pop()
                    on_stack.discard(w)
                    part.append(w)
                    if w == v:
                        break
                if len(part) > 1:
                    found.append(sorted(part))
    return sorted(found, key=len, reverse=True)


def folder(path):
    return path.split('/')[0]


def main(argv):
    show_folders = '--folders' in argv
    limit = next((int(a.split('=', 1)[1]) for a in argv if a.startswith('--max=')), None)
    args = [a for a in argv if not a.startswith('--')]
    src = args[0] if args else os.path.join(os.path.dirname(__file__), '..', '..', 'src')
    edges = graph(src)
    parts = circles(edges)
    print(f'{len(edges)} files, {len(parts)} circles, largest '
          f'{len(parts[0]) if parts else 0}')
    for part in parts:
        print(f'circle of {len(part)}: ' + ' '.join(part))
    if show_folders:
        pairs = {}
        for a, targets in edges.items():
            for b in targets:
                if folder(a) != folder(b):
                    pairs.setdefault((folder(a), folder(b)), []).append(f'{a} -> {b}')
        for (a, b), lines in sorted(pairs.items()):
            print(f'{a} -> {b}: {len(lines)}')
    if limit is not None and parts and len(parts[0]) > limit:
        print(f'a circle of {len(parts[0])} files; at most {limit} allowed', file=sys.stderr)
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
