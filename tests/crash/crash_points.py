#!/usr/bin/env python3
"""--crash-points PROGRAM: a small run, and the undo of its journal, killed at the entry of each
call that touches a file, or with that call failing, on each rename way; then judged, undone twice.
--calls-per-clip PROGRAM: the system calls a plain clip costs (one of them its statx), at most 3.1;
with --dates, on a real clip whose movie box is at its end, at most 10 and one a field written.
--partial-run PROGRAM: a run whose one rename fails, the same answers again on a terminal, and
both undone and counted truthfully.
--power-cut PROGRAM: a run on ext4 whose disk is copied while the program is stopped and after it
ends, as a power cut leaves it; undo must restore every copy. Without RUR_CRASH_POINTS=1 the crash
points are a sample of every ninth; the power cut is skipped (77) without root and loop devices.
"""
import concurrent.futures, contextlib, os, pathlib, pty, re, shutil, signal, subprocess, sys, tempfile, time, types

PROGRAM = os.path.abspath(sys.argv[2])
REPORT, JOURNAL = "DedUzarodivedizidUZOVU.txt", "DoridivezizoziRUR-undo-"
# An hour and a quarter forward. The first clip's corrected name is borne by the second, listed
# after it, so it takes a burst number; the next two are a burst whose second clip finds that burst
# number taken too; the last one's corrected name is held by a clip that the shift takes past 2050.
CLIPS = sorted(["2025 11 21 14 25 20.mp4", "2025 11 21 15 40 20.mp4", "2025-11-21-14-25-10.mp4",
                "2025_11_21_14_25_10.mp4", "2050_12_31_21_45_30.mp4", "2050 12 31 23 00 30.mp4"])
ANSWERS = b"Y\nClips\n2025 11 21 14 15 00\n2025 11 21 15 30 00\n\n"
# A real clip named and timed as it was made, whose 4-byte date fields at DATES --dates corrects.
REAL, REAL_TIME, DATES = "2025_11_21_15_40_10.mp4", 1763739610_250000000, (48, 52, 164, 168, 300, 304)
FIXTURE = pathlib.Path(__file__).parent.parent.joinpath("media/fixtures/moov_first.mp4").read_bytes()
# Every system call that touches a file or a folder; those the program never makes get no point.
CALLS = ("openat open creat read pread64 write pwrite pwrite64 utimensat close lseek fcntl ftruncate "
         "fsync fdatasync syncfs getdents64 newfstatat fstat lstat stat statx statfs fstatfs access "
         "faccessat2 rename renameat renameat2 link linkat unlink unlinkat mkdir mkdirat rmdir").split()
# Each way is forced by refusing the steps before it, as a filesystem that lacks them does, and
# proved taken by the calls it leaves in the trace.
# A sanitized build still checks every access under strace, but LeakSanitizer cannot work under
# ptrace and would end every run.
os.environ["ASAN_OPTIONS"] = os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0"

WAYS = {"no-replace": [], "link-then-unlink": ["renameat2:error=EINVAL"],
        "claim-then-rename": ["renameat2:error=EINVAL", "link:error=EPERM", "linkat:error=EPERM"]}
# A filesystem that cannot be told, as a card's: its clips are known by their size and time.
SIZED = "fstatfs:error=EIO"
PROOFS = {"no-replace": r"renameat2\(.*RENAME_NOREPLACE\) = 0",
          "link-then-unlink": r"\blink(at)?\(.*\) = 0\n(.*\n)*?.*\bunlink(at)?\(.*\) = 0",
          "claim-then-rename": r'\.mp4", .*O_CREAT\|O_EXCL.*= \d+\n(.*\n)*?.*\brename(at)?\(.*= 0'}


def run(folder, options=(), injections=(), trace=os.devnull):
    command = [PROGRAM, *options]
    if injections or trace != os.devnull:
        command = ["strace", "-f", "-o", trace, "-e", "trace=" + ",".join("?" + c for c in CALLS),
                   *[word for i in injections for word in ("-e", "inject=" + i)], *command]
    with tempfile.TemporaryFile() as answers:  # a file, read alike by every run
        answers.write(b"" if "--undo" in options else ANSWERS)
        answers.seek(0)
        return subprocess.run(command, cwd=folder, stdin=answers, capture_output=True, text=True,
                              errors="replace", timeout=20)


def make_clips(root, real=False):
    folder = tempfile.mkdtemp(dir=root)
    os.mkdir(folder + "/Clips")
    for index, clip in enumerate(CLIPS):
        pathlib.Path(folder, "Clips", clip).write_text(f"clip {index}")
    if real and pathlib.Path(folder, "Clips", REAL).write_bytes(FIXTURE):
        os.utime(f"{folder}/Clips/{REAL}", ns=(REAL_TIME, REAL_TIME))
    return folder


def held(path, data=None):
    data = bytearray(path.read_bytes() if data is None else data)
    for at in DATES if len(data) == len(FIXTURE) else ():
        data[at:at + 4] = b"date"
    return data.decode(errors="replace")


def journals(folder):
    return sorted(name for name in os.listdir(folder) if name.startswith(JOURNAL))


def options(folder, undoing):
    """--dates for a run; for an undo, the journal of a run made first."""
    return ["--undo", journals(folder)[0]] if undoing and run(folder, ["--dates"]) else ["--dates"]


def snapshot(folder):
    """Every file but the report, the journals and the listing: name -> (contents, inode)."""
    return {str(path.relative_to(folder)): (held(path), path.stat().st_ino)
            for path in pathlib.Path(folder).rglob("*") if path.is_file() and
            path.name not in (REPORT, "list.txt") and not path.name.startswith(JOURNAL)}


def differences(now, start):
    return sorted({(path, held) for path, (held, _) in now.items()} ^
                  {(path, held) for path, (held, _) in start.items()})


def undo_twice(folder, start, way, untouched):
    """An undo gives back the starting folder, and a second one changes nothing."""
    problems, before = [] if len(journals(folder)) == 1 else [f"journals: {journals(folder)}"], None
    for attempt in ("undo", "second undo"):
        undo = run(folder, ["--undo", journals(folder)[0]], WAYS[way])
        # A journal cut short before its first pair is no journal, which is right if nothing moved.
        if undo.returncode != 0 and not (undo.returncode == 127 and untouched):
            said = [line for line in (undo.stderr or undo.stdout).splitlines() if not line.startswith((" Restored", " Already back", " Nothing"))]
            problems.append(f"{attempt} ended {undo.returncode}: {' / '.join(said)[:300]}")
        if differences(snapshot(folder), before or start):
            problems.append(f"{attempt} left {differences(snapshot(folder), start)}")
        problems += [f"{attempt} left the dates of {clip}" for clip in pathlib.Path(folder).rglob("*.mp4")
                     if held(clip) == held(None, FIXTURE) and (clip.read_bytes(), clip.stat().st_mtime_ns) != (FIXTURE, REAL_TIME)]
        before = snapshot(folder)
    return problems


def judge(folder, start, ran, way, undoing):
    now, holders, problems = snapshot(folder), {}, []
    # By contents: two names of one file are one clip, and an empty claim is none.
    for held, inode in now.values():
        holders.setdefault(held, set()).add(inode)
    problems += [f"{clip} {'doubled' if holders.get(held) else 'lost'}"
                 for clip, (held, _) in start.items() if len(holders.get(held, ())) != 1]
    # Every line about a clip, as (the path it names, the clip's starting path, renamed or not).
    told = [(path, path, False) for path in re.findall(r"^ Restored (.*)$", ran.stdout, re.M)]
    told += [(new, old, True) for old, new in re.findall(
        r'The clip "(.*)" was renamed to "(.*)", but the report', ran.stderr)]
    report = pathlib.Path(folder, REPORT)
    if not undoing and report.exists():
        lines = report.read_bytes().decode(errors="replace")
        if lines and not lines.endswith("\r\n"):
            problems.append("the report ends in half a line")
        told += [(path, "Clips/" + clip, verb[0] == "S") for clip, (verb, path) in zip(
            sorted(path[6:] for path in start), re.findall(r"^(Successfully renamed|Could not rename) (.*)\r$", lines, re.M))]
    problems += [f"untrue: {path} (of {old})" for path, old, renamed in told if now.get(path, ("",))[0] != start[old][0] or (path != old) != renamed]
    problems += [f"the undo counted {c[0]} for {len(told)} told restored" for c in [re.search(r"(\d+) of \d+ files? restored", ran.stdout)] if undoing and c and int(c[1]) != len(told)]
    # A run that ends by itself, however it fails, tells every rename it made.
    if not undoing and ran.returncode != -signal.SIGKILL:
        problems += [f"untold: {old}" for old in start if now.get(old) != start[old] and old not in {old for _, old, renamed in told if renamed}]
    if journals(folder):
        return problems + undo_twice(folder, start, way, not differences(now, start))
    if differences(now, start) and "No undo journal could be made" not in ran.stderr:
        problems.append(f"renamed with no journal, and no word of it: {differences(now, start)}")
    return problems


def point(root, way, undoing, call, number, action):
    start = snapshot(folder := make_clips(root, True))
    error = "ENOSPC" if call.startswith(("write", "pwrite")) else "EIO"
    fault = f"{call}:{'signal=SIGKILL' if action == 'kill' else 'error=' + error}:when={number}"
    problems = judge(folder, start, run(folder, options(folder, undoing), WAYS[way] + [fault]),
                     way, undoing)
    shutil.rmtree(folder)
    return problems and (f"{'undo' if undoing else 'run'} on {way}, {action} at {call} #{number}: "
                         + "; ".join(problems))


def crash_points(root):
    points, failures = [], []
    for way in WAYS:
        for undoing in (False, True):
            run(folder := make_clips(root, True), options(folder, undoing), WAYS[way], f"{root}/trace")
            if not re.search(PROOFS[way], trace := pathlib.Path(root, "trace").read_text()):
                failures.append(f"{'undo' if undoing else 'run'} on {way}: the way was not taken")
            # Placeholders are journaled before they are made: a run's only for a burst number (four
            # clips), an undo's each (six), kept.
            journal = pathlib.Path(folder, journals(folder)[0]).read_text(errors="replace")
            if way == "claim-then-rename" and journal.count("\nundo claim: " if undoing else "\nclaim: ") != 4 + 2 * undoing:
                failures.append(f"{'undo' if undoing else 'run'} on claim-then-rename: its placeholders were not journaled as told")
            calls = re.findall(r"^\d+ +(\w+)\(", trace, re.M)
            # A call refused to force the way is not killed at: that is the point after the last.
            points += [(root, way, undoing, call, number, action) for call in sorted(set(calls))
                       if not any(i.startswith(call + ":") for i in WAYS[way])
                       for number in range(1, calls.count(call) + 1) for action in ("kill", "fail")]
    # A subfolder named like a clip is its own failure only: the next clips are renamed by link, and
    # known by their size and time where the filesystem cannot be told.
    folder, sub = make_clips(root), "2025 11 21 14 00 00.mp4"
    os.mkdir(f"{folder}/Clips/{sub}")
    ran = run(folder, (), WAYS["link-then-unlink"] + [SIZED], f"{root}/trace")
    if (f"Could not rename Clips/{sub}" not in ran.stdout or "Is a directory" not in ran.stderr
            or re.search(PROOFS["claim-then-rename"], pathlib.Path(root, "trace").read_text())
            or "\nidentity: size and time\n" not in pathlib.Path(folder, journals(folder)[0]).read_text()):
        failures.append(f"a subfolder on link-then-unlink: {ran.stdout[-300:]} {ran.stderr}")
    # A write that takes no byte, or fails each time, is a full disk, not whatever failed before it.
    for fault in ("retval=0:when=1", "error=ENOSPC"):
        if "No space left" not in run(make_clips(root, True), ["--dates"], ["pwrite64:" + fault]).stdout:
            failures.append(f"a write with {fault} was not told as a full disk")
    # An undo of a run of dates only that cannot give a clip's dates back leaves it to the next one.
    run(folder := make_clips(root, True))
    first, before = journals(folder), (contents := lambda: [p.read_bytes() for p in sorted(pathlib.Path(folder, "Clips").iterdir())])()
    ran = [run(folder, ["--dates", first[0]])] + [run(folder, ["--undo", max(set(journals(folder)) - set(first))], fault) for fault in (["pwrite64:error=ENOSPC:when=1"], [])]
    failures += [f"an undo of dates only, a write refused: {ran[1].stdout[-300:]} / {ran[2].stdout[-300:]}"] if "5 of 6 files restored" not in ran[1].stdout or contents() != before else []
    # Other runs' journals under every name of each second, to the one after the run's start: it ends.
    folder, second = make_clips(root), int(time.time()) - 1
    while (second := second + 1) <= time.time() + 1:
        stamp = time.strftime(f"{JOURNAL}%Y%m%d-%H%M%S", time.localtime(second))
        for number in range(1000):
            pathlib.Path(folder, f"{stamp}-{number + 1}.txt" if number else stamp + ".txt").touch()
    if run(folder).returncode != 127 or len(journals(folder)) % 1000:
        failures.append("a run with every journal name taken went on, or took another run's journal")
    # Without RUR_CRASH_POINTS=1, every ninth point: enough to take every way and branch, quickly.
    points = points if os.environ.get("RUR_CRASH_POINTS") == "1" else points[::9]
    with concurrent.futures.ThreadPoolExecutor(os.cpu_count() or 2) as pool:
        try:
            failures += [found for found in pool.map(lambda p: point(*p), points) if found]
        except subprocess.TimeoutExpired as hung:  # one hang says enough: the rest is not waited for
            pool.shutdown(cancel_futures=True)
            failures.append(f"a run hung: {hung.cmd}")
    print(*failures, f"crash points: {len(points) - len(failures)} passed, {len(failures)} failed", sep="\n")
    return 1 if failures else 0


def stopped(process):
    try:
        return pathlib.Path(f"/proc/{process}/stat").read_text().rsplit(") ")[-1][0] in "tT"
    except (OSError, IndexError):
        return False


def power_cut(root):
    def sh(*command):
        return subprocess.run(command, capture_output=True, text=True)

    image, mount, copies, problems, program = f"{root}/disk.img", f"{root}/mount", [], [], ""
    os.mkdir(mount)
    made = os.geteuid() == 0 and sh("mkfs.ext4", "-q", image, "32M").returncode == 0
    loop = made and sh("losetup", "-f", "--show", image).stdout.strip()
    # Committed every second, the renames reach the disk long before the data written with them.
    if not loop or sh("mount", "-o", "commit=1", loop, mount).returncode != 0:
        print("skipped: this test needs root, loop devices and mkfs.ext4")
        if loop:
            sh("losetup", "-d", loop)
        return 77
    try:
        folder = make_clips(mount)
        start = snapshot(folder)
        os.sync()
        with tempfile.TemporaryFile() as answers:
            answers.write(ANSWERS)
            answers.seek(0)
            # Stopped as the 2nd, 5th and 8th renameat2 return: a stop waits for the call's end.
            tracer = subprocess.Popen(["strace", "-f", "-o", os.devnull, "-e", "trace=renameat2", "-e",
                                       "inject=renameat2:signal=SIGSTOP:when=2+3", PROGRAM],
                                      cwd=folder, stdin=answers, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        seen = 0
        for _ in range(400):
            time.sleep(0.05)
            children = pathlib.Path(f"/proc/{tracer.pid}/task/{tracer.pid}/children")
            program = program or children.read_text().strip()
            # Seen stopped twice in a row: a passing stop at a traced call does not last so long.
            seen = seen + 1 if stopped(program) else 0
            if seen == 2:
                time.sleep(1.5)  # while what the run did so far is committed
                # The image file holds what the loop device was given, which is what reached the
                # disk; the device would also show the filesystem's buffers not written yet.
                copies.append(shutil.copyfile(image, f"{root}/copy{len(copies)}"))
                os.kill(int(program), signal.SIGCONT)
                seen = 0
            if tracer.poll() is not None:
                break
        time.sleep(2.5)
        copies.append(shutil.copyfile(image, f"{root}/copy{len(copies)}"))
    finally:
        if program and tracer.poll() is None:
            os.kill(int(program), signal.SIGKILL)
        sh("umount", mount)
        sh("losetup", "-d", loop)
    for index, copy in enumerate(copies):
        fsck = sh("e2fsck", "-fy", copy)
        # On the same device, as a card put back after the cut.
        if fsck.returncode > 1 or not any(
                sh("losetup", loop, copy).returncode == 0 or time.sleep(0.2) for _ in range(20)):
            problems.append(f"copy {index}: e2fsck ended {fsck.returncode}, or {loop} was taken")
            continue
        sh("mount", loop, mount)
        problems += [f"copy {index} of {len(copies)}: {problem}" for problem in judge(
            folder, start, types.SimpleNamespace(stdout="", stderr=""), "no-replace", True)]
        sh("umount", mount)
        sh("losetup", "-d", loop)
    problems += [] if len(copies) > 1 else ["the program was never stopped"]
    print(*problems, f"power cut: {len(copies)} copies of the disk, {len(problems)} problems", sep="\n")
    return 1 if problems else 0


def on_terminal(folder, typed):
    """A run whose console is a terminal, as a person's is, its clips known by SIZED: its output."""
    pid, terminal = pty.fork()
    if pid == 0:
        os.chdir(folder)
        os.execvp("strace", ["strace", "-o", os.devnull, "-e", "inject=" + SIZED, PROGRAM])
    os.write(terminal, typed)
    output = b""
    with contextlib.suppress(OSError):  # the terminal's end, once the program has ended
        while True:
            output += os.read(terminal, 65536)
    os.waitpid(pid, 0)
    return output.decode(errors="replace")


def partial_run(root):
    """A clip a run could not rename: the same answers again offer to rename only that clip, and
    each run's undo, newest first, counts truthfully what it gives back, file times included."""
    start = snapshot(folder := make_clips(root))
    mtime = os.stat(clip := f"{folder}/Clips/{CLIPS[1]}").st_mtime_ns
    # Known by size and time, the clips' new times hide them from the first journal, not the later one's.
    run(folder, injections=["renameat2:error=EBUSY:when=1", SIZED])
    first = snapshot(folder)
    # On a card, folders known by their paths, a copy of this one, times and all, is no run's yet.
    shutil.copytree(f"{folder}/Clips", copy := f"{folder}/Copy")
    copied = on_terminal(folder, ANSWERS[:-1].replace(b"Clips", b"Copy") + b"\x04")  # ^D: no rename
    shutil.rmtree(copy)
    run(folder, ["--dates", renames := journals(folder)[0]], [SIZED])  # times corrected, given back
    dated = (set(journals(folder)) - {renames}).pop()
    # Another file under the left clip's name is not that clip: shifting again is what is asked.
    os.rename(left := f"{folder}/Clips/{CLIPS[0]}", folder + "/kept")
    shutil.copyfile(folder + "/kept", left)
    other = on_terminal(folder, ANSWERS[:-1] + b"N\n\n")
    os.replace(folder + "/kept", left)
    again = on_terminal(folder, ANSWERS[:-1].replace(b"Clips", b"./Clips") + b"Y\nN\n\n")
    # Answers from a file are a script's, even with the output on a terminal: nothing is taken back.
    subprocess.run([PROGRAM, renames], cwd=folder, input=b"y\n", stdout=pty.openpty()[1], stderr=subprocess.DEVNULL, timeout=20)
    asked = "Rename only the 1 clips" in again and "Shift them again?" in other and "a run gave" not in copied
    problems = [] if asked else [f"not asked as told: {again[-300:]!r} {other[-300:]!r} {copied[-300:]!r}"]
    moved = differences(snapshot(folder), first)
    if moved != [(f"Clips/{CLIPS[0]}", "clip 0"), ("Clips/2025 11 21 15 40 20.mp4", "clip 0")]:
        problems.append(f"the second run moved {moved}")
    (second,) = set(journals(folder)) - {renames, dated}
    # Newest first. A time the later run corrected that cannot go back yet fails its clip's undo.
    for journal, fault, told in [(second, [], ("1", "1", None)),
                                 (renames, ["utimensat:error=EIO:when=1"], ("3", "4", "1")), (renames, [], ("4", "4", "1"))]:
        undo = run(folder, ["--undo", journal], fault + [SIZED])
        counts = re.search(r"(\d+) of (\d+) files restored(?:\s+(\d+) files the run never)?", undo.stdout)
        if undo.returncode != bool(fault) or not counts or counts.groups() != told:
            problems.append(f"undo of {journal}: {undo.returncode} {undo.stdout[-200:]!r}")
    if (changed := differences(snapshot(folder), start)) or os.stat(clip).st_mtime_ns != mtime:
        problems.append(f"left {changed}, a clip's time {os.stat(clip).st_mtime_ns} for {mtime}")
    print(*problems, f"partial run: {len(problems)} problems", sep="\n")
    return 1 if problems else 0


def calls_per_clip(root):
    """A plain clip costs its rename and its report line; the journal's calls are a batch's. A
    dated clip is opened once, read in one or two reads, and checked again before its patch."""
    clip = bytearray((pathlib.Path(__file__).parents[1] / "media/fixtures/moov_last.mp4").read_bytes())
    creation = clip.index(b"mvhd") + 8

    def calls(count, options=()):
        """The calls that touch a file, and the writes of fields among them."""
        folder = tempfile.mkdtemp(dir=root)
        os.mkdir(folder + "/Clips")
        for index in range(count):
            # Its movie's creation time that of its name, so that its recorded dates are patched.
            clip[creation:creation + 4] = (3846528000 + index * 60).to_bytes(4, "big")
            pathlib.Path(folder, "Clips", f"2025_11_21_{index // 60:02}_{index % 60:02}_00.mp4"
                         ).write_bytes(clip if options else b"")
        run(folder, options, trace=f"{root}/trace")
        text = pathlib.Path(root, "trace").read_text()
        # The folder is read once: the renaming takes over the listing that made list.txt.
        assert count == 0 or len(re.findall(r'openat\(\d+, "\."', text)) == 1, "the folder read twice"
        # Each batch of journal entries (1, 2, 4, ... clips) is on the medium before its renames.
        syncs = len(re.findall(r'\b(?:fsync|fdatasync)\(', text))
        assert syncs >= count.bit_length(), f"{syncs} syncs for {count.bit_length()} batches"
        return len(text.splitlines()), text.count(" pwrite64(")
    per_clip = (calls(600)[0] - calls(0)[0]) / 600
    (dated, writes), (none, _) = calls(600, ["--dates"]), calls(0, ["--dates"])
    dated, fields = (dated - none) / 600, writes / 600
    print(f"calls that touch a file, per clip: {per_clip:.2f}; with --dates {dated:.2f}, "
          f"{fields:.2f} of them its fields' writes")
    return 0 if per_clip <= 3.1 and fields == 6 and dated <= 10 + fields else 1


if __name__ == "__main__":
    if os.environ.get("RUR_CRASH_POINTS") != "1" and sys.argv[1] == "--power-cut":
        print("skipped: set RUR_CRASH_POINTS=1 to cut the power")
        sys.exit(77)
    with tempfile.TemporaryDirectory() as scratch:
        sys.exit({"--crash-points": crash_points, "--power-cut": power_cut,
                  "--calls-per-clip": calls_per_clip, "--partial-run": partial_run}[sys.argv[1]](scratch))
