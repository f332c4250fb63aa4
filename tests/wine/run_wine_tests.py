#!/usr/bin/env python3
"""Runs the Windows launcher under Wine against the jvm.dll test double.

Every case packs a launcher with plenwick-pack, lays out an install tree
(ROOT\\bin\\launcher.exe beside jvm.dll, ROOT\\app\\lib with a few files),
runs it headless and checks what JNI_CreateJavaVM received, the environment
it saw, the standard error stream and the exit code.

Usage: run_wine_tests.py --launcher EXE --fake-jvm DLL --pack PACKER --work DIR
"""
import argparse
import os
import resource
import shutil
import subprocess
import sys
from dataclasses import dataclass, field
from typing import Callable, Dict, List, Optional

UTF8_ARG = "Grüße-日本"
PROFILE = "C:\\Profiles\\tëster"
EXIT_LOADER_FAILED = 53


def windows_path(path):
    """How Wine shows a Unix path: through drive Z:."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


@dataclass
class Run:
    exit_code: int
    stderr: List[str]
    record: Optional[Dict]


@dataclass
class Case:
    name: str
    pack: List[str] = field(default_factory=lambda: ["--run-on-calling-thread"])
    options: List[str] = field(default_factory=list)
    args: List[str] = field(default_factory=list)
    env: Dict[str, str] = field(default_factory=dict)
    profile: Optional[str] = None  # USERPROFILE, set through a Windows parent
    address_space_limit: Optional[int] = None
    checks: List[Callable] = field(default_factory=list)


def parse_record(path):
    if not os.path.exists(path):
        return None
    record = {"options": [], "env": {}}
    with open(path, "rb") as f:
        for raw in f.read().decode("utf-8").split("\n"):
            key, _, value = raw.rstrip("\r").partition(" ")
            if key == "option":
                record["options"].append(value)
            elif key == "env":
                name, _, val = value.partition("=")
                record["env"][name] = val
            elif key:
                record[key] = value
    return record


class Harness:
    def __init__(self, opts):
        self.opts = opts
        self.work = os.path.abspath(opts.work)
        self.prefix = os.path.join(self.work, "prefix")
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINEDEBUG="-all")
        self.env.pop("DISPLAY", None)
        self.env.pop("WAYLAND_DISPLAY", None)

    def prepare(self):
        if not os.path.exists(os.path.join(self.prefix, "system.reg")):
            os.makedirs(self.work, exist_ok=True)
            subprocess.run(["wineboot", "-i"], env=self.env, check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Keep the server running between cases; not on our pipes, or they stay open.
        subprocess.run(["wineserver", "-p"], env=self.env, check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def layout(self, case):
        root = os.path.join(self.work, "cases", case.name, "ROOT")
        shutil.rmtree(os.path.dirname(root), ignore_errors=True)
        lib = os.path.join(root, "app", "lib")
        os.makedirs(os.path.join(root, "bin"))
        os.makedirs(os.path.join(lib, "d.jar"))  # a directory that matches *.jar
        for name in ("a.jar", "b.jar", "c.txt", "e.jarx"):
            open(os.path.join(lib, name), "w").close()
        shutil.copy(self.opts.fake_jvm, os.path.join(root, "bin", "jvm.dll"))
        return root

    def pack(self, case, root):
        exe = os.path.join(root, "bin", "launcher.exe")
        command = [self.opts.pack, "write", "--launcher", self.opts.launcher, "--output", exe,
                   "--main-class", "a.B"] + case.pack
        for option in case.options:
            command += ["--jvm-option", option]
        subprocess.run(command, check=True)
        return exe

    def run(self, case):
        root = self.layout(case)
        exe = self.pack(case, root)
        case_dir = os.path.dirname(root)
        record_path = os.path.join(case_dir, "record.txt")
        env = dict(self.env, PLENWICK_JVM_RECORD=windows_path(record_path), **case.env)
        command = ["wine", exe] + case.args
        if case.profile is not None:
            # Wine sets USERPROFILE itself; a Windows parent passes ours on.
            command = ["wine", "cmd", "/c", "set", f"USERPROFILE={case.profile}&&",
                       windows_path(exe)] + case.args
        limit = case.address_space_limit

        def restrict():
            if limit:
                resource.setrlimit(resource.RLIMIT_AS, (limit, limit))

        # Files, not pipes: Wine's background processes inherit the handles.
        with open(os.path.join(case_dir, "stderr.txt"), "wb") as err, \
                open(os.path.join(case_dir, "stdout.txt"), "wb") as out:
            code = subprocess.run(command, env=env, cwd=case_dir, stdout=out, stderr=err,
                                  preexec_fn=restrict).returncode
        with open(os.path.join(case_dir, "stderr.txt"), "rb") as err:
            lines = [line.rstrip("\r") for line in err.read().decode("utf-8", "replace").split("\n")]
        stderr = [line for line in lines if line]
        return Run(code, stderr, parse_record(record_path)), root


# --- checks: each takes (run, context) and returns an error text or None -----

class Context:
    def __init__(self, root, run):
        self.root = windows_path(root)
        self.app = self.root + "\\app\\"
        env = run.record["env"] if run.record else {}
        self.profile = env.get("USERPROFILE", "")


def exits(code):
    return lambda run, ctx: None if run.exit_code == code else f"exit code {run.exit_code}, wanted {code}"


def stderr_line(text):
    return lambda run, ctx: None if text in run.stderr else f"no line {text!r} in {run.stderr}"


def no_record(run, ctx):
    return None if run.record is None else "JNI_CreateJavaVM was called"


def needs_record(check):
    def wrapped(run, ctx):
        if run.record is None:
            return "JNI_CreateJavaVM was not called"
        return check(run, ctx)
    return wrapped


def options_are(expected):
    def check(run, ctx):
        want = expected(ctx)
        got = run.record["options"]
        if got == want and run.record["nOptions"] == str(len(want)):
            return None
        return "options differ:\n" + "\n".join(
            f"    {'ok ' if i < len(got) and i < len(want) and got[i] == want[i] else 'BAD'}"
            f" got  {got[i] if i < len(got) else '-'}\n        want {want[i] if i < len(want) else '-'}"
            for i in range(max(len(got), len(want))))
    return needs_record(check)


def field_is(key, value):
    return needs_record(lambda run, ctx: None if run.record.get(key) == value
                        else f"{key} is {run.record.get(key)!r}, wanted {value!r}")


def env_is(name, value):
    def check(run, ctx):
        want = value(ctx) if callable(value) else value
        got = run.record["env"].get(name)
        return None if got == want else f"{name} is {got!r}, wanted {want!r}"
    return needs_record(check)


def env_absent(name):
    return needs_record(lambda run, ctx: None if name not in run.record["env"]
                        else f"{name} is still set: {run.record['env'][name]!r}")


def dump_matches(run, ctx):
    dumped = [line for line in run.stderr if line.startswith("JVM arg ")]
    want = [f"JVM arg {i}: {o}" for i, o in enumerate(run.record["options"])]
    return None if dumped == want else f"dump {dumped}, wanted {want}"


def no_dump(run, ctx):
    return None if not any(l.startswith("JVM arg ") for l in run.stderr) else "options dumped"


def stack_reserve(minimum, maximum=None):
    def check(run, ctx):
        size = int(run.record["stackReserve"])
        ok = size >= minimum and (maximum is None or size <= maximum)
        return None if ok else f"stack reserve {size}, wanted {minimum}..{maximum}"
    return needs_record(check)


KNOWN_FOLDER_VARS = ("PACKAGE_LOCALAPPDATA", "PACKAGE_APPDATA", "USER_LOCALAPPDATA", "USER_APPDATA")


def known_folders(package_vars):
    """Either every variable is set, or the first failure is reported once and
    none is (Wine answers E_INVALIDARG to both flags)."""
    def check(run, ctx):
        reports = [line for line in run.stderr if line.startswith("Error 0x")]
        env = run.record["env"]
        if not reports:
            missing = [v for v in KNOWN_FOLDER_VARS if not env.get(v)]
            if package_vars and env.get("LOCALAPPDATA") != env.get("PACKAGE_LOCALAPPDATA"):
                missing.append("LOCALAPPDATA")
            return f"not set: {missing}" if missing else None
        if len(reports) != 1:
            return f"reported {len(reports)} times: {reports}"
        present = [v for v in KNOWN_FOLDER_VARS if v in env]
        if present:
            return f"set despite the failure: {present}"
        if not env.get("LOCALAPPDATA", "").endswith("\\AppData\\Local"):
            return f"LOCALAPPDATA lost its inherited value: {env.get('LOCALAPPDATA')!r}"
        return None
    return needs_record(check)


def utf8_home(run, ctx):
    return None if run.record["env"].get("HOME") == ctx.profile and ctx.profile else \
        f"HOME {run.record['env'].get('HOME')!r}, USERPROFILE {ctx.profile!r}"


# --- the cases ---------------------------------------------------------------

FAILED_CREATE = "Failed to create JVM: Error 0xfffffffa"


def lib(ctx, *names):
    return [ctx.app + "lib\\" + name for name in names]


REWRITE_OPTIONS = [
    "-Dapp.dir=&&",
    "-Djava.library.path=&&;&&..\\bin",
    "-Dthree=&&&",
    "-Dx=~/data/sub",
    "-Dy=~/a;~/b",
    "~/x",
    "-Dz=~user/a",
    "-Djava.class.path=&&lib\\*.jar;;&&lib\\*;&&gone\\*;~/h.jar;&&lib\\d.jar\\*.jar;",
    "-Dk=;a.jar;*.jar",
    "-cp ;;&&lib\\a*.jar",
]


def rewritten(ctx):
    app, home = ctx.app, ctx.profile
    class_path = ";".join(
        lib(ctx, "a.jar", "b.jar", "e.jarx") + [""] + lib(ctx, "a.jar", "b.jar", "c.txt", "e.jarx")
        + [app + "gone\\*", home + "\\h.jar", app + "lib\\d.jar\\*.jar"])
    return [
        f"-Dapp.dir={app}",
        f"-Djava.library.path={app};{app}..\\bin",
        f"-Dthree={app}&",
        f"-Dx={home}\\data/sub",
        f"-Dy={home}\\a;{home}\\b",
        f"{home}\\x",
        "-Dz=~user/a",
        "-Djava.class.path=" + class_path,
        "-Dk=;a.jar;*.jar",
        "-cp " + app + "lib\\a.jar",
        f"-Dsun.java.command=a.B x {app} {UTF8_ARG}",
    ]


CASES = [
    Case("rewriting", options=REWRITE_OPTIONS, args=["x", "&&", UTF8_ARG],
         checks=[options_are(rewritten), field_is("version", "0x10008"),
                 field_is("ignoreUnrecognized", "0"), field_is("acp", "65001"),
                 exits(1), stderr_line(FAILED_CREATE), no_dump]),
    Case("dump", options=["-XX:+DisableAttachMechanism", "-Dapp.dir=&&"],
         env={"PLENWICK_DUMP_JVM_ARGS": "0"},
         checks=[dump_matches, options_are(lambda c: [
             "-XX:+DisableAttachMechanism", f"-Dapp.dir={c.app}", "-Dsun.java.command=a.B"])]),
    Case("runtime-environment",
         env={"_ALT_JAVA_HOME_DIR": "C:\\elsewhere", "_JAVA_OPTIONS": "-Xmx1m",
              "JDK_JAVA_OPTIONS": "-Xmx2m", "JAVA_TOOL_OPTIONS": "-Xmx3m",
              "PLENWICK_CONTROL": "kept"},
         checks=[env_is("_ALT_JAVA_HOME_DIR", lambda c: c.root), env_absent("_JAVA_OPTIONS"),
                 env_absent("JDK_JAVA_OPTIONS"), env_absent("JAVA_TOOL_OPTIONS"),
                 env_is("PLENWICK_CONTROL", "kept"), env_is("HOME", lambda c: c.profile)]),
    Case("utf8-profile", profile=PROFILE, options=["-Dx=~/d", "~/"], args=[UTF8_ARG],
         checks=[env_is("USERPROFILE", PROFILE), utf8_home, options_are(lambda c: [
             f"-Dx={PROFILE}\\d", f"{PROFILE}\\", f"-Dsun.java.command=a.B {UTF8_ARG}"]),
             exits(1), stderr_line(FAILED_CREATE)]),
    Case("known-folders", checks=[known_folders(False)]),
    Case("known-folders-package-vars", pack=["--run-on-calling-thread", "--package-appdata-vars"],
         checks=[known_folders(True)]),
    Case("result-minus-1", env={"PLENWICK_JVM_RESULT": "-1"},
         checks=[exits(1), stderr_line("Failed to create JVM: Error 0xffffffff")]),
    Case("initial-thread", checks=[field_is("thread", "initial"), stack_reserve(1 << 20, 1 << 20)]),
    Case("new-thread-default-stack", pack=[],
         checks=[field_is("thread", "new"), stack_reserve(1 << 20, 1 << 20), exits(1),
                 stderr_line(FAILED_CREATE)]),
    Case("new-thread-8m", pack=["--stack-size", "8M"],
         checks=[field_is("thread", "new"), stack_reserve(8 << 20)]),
    Case("new-thread-impossible-stack", pack=["--stack-size", str(0xF0000000)],
         address_space_limit=3 << 30,
         checks=[exits(1), stderr_line("CreateThread failed."), no_record]),
    Case("console-app", pack=["--run-on-calling-thread", "--console-app", "--utf8-console"],
         checks=[field_is("thread", "initial"), exits(1), stderr_line(FAILED_CREATE)]),
]


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--launcher", required=True)
    parser.add_argument("--fake-jvm", required=True)
    parser.add_argument("--pack", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("only", nargs="*", help="run only these cases")
    opts = parser.parse_args()
    harness = Harness(opts)
    harness.prepare()
    failed = 0
    for case in CASES:
        if opts.only and case.name not in opts.only:
            continue
        run, root = harness.run(case)
        errors = [e for e in (check(run, Context(root, run)) for check in case.checks) if e]
        print(("ok   " if not errors else "FAIL ") + case.name)
        for error in errors:
            print("     " + error)
        failed += bool(errors)
    print(f"wine: {failed} failed" if failed else "wine: all cases passed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
