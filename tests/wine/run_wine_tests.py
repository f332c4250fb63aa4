#!/usr/bin/env python3
"""The Windows launcher under Wine against the jvm.dll test double: what
JNI_CreateJavaVM received, the environment, standard error and the exit code."""
import argparse
import os
import resource
import shutil
import subprocess
import sys

UTF8 = "Grüße-日本"
PROFILE = "C:\\Profiles\\tëster"
FAILED = "Failed to create JVM: Error 0xfffffffa"
CALLING = ["--run-on-calling-thread"]
FOLDER_VARS = ("PACKAGE_LOCALAPPDATA", "PACKAGE_APPDATA", "USER_LOCALAPPDATA", "USER_APPDATA")


def winpath(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run_case(opts, env, name, pack, options, args, extra_env, profile, limit):
    """Packs and runs one case in ROOT\\bin, ROOT\\app\\lib; returns (code, stderr lines, record)."""
    case_dir = os.path.join(opts.work, "cases", name)
    shutil.rmtree(case_dir, ignore_errors=True)
    root, lib = os.path.join(case_dir, "ROOT"), os.path.join(case_dir, "ROOT", "app", "lib")
    os.makedirs(os.path.join(root, "bin"))
    os.makedirs(os.path.join(lib, "d.jar"))  # a directory that matches *.jar
    for file in ("a.jar", "b.jar", "c.txt", "e.jarx"):
        open(os.path.join(lib, file), "w").close()
    shutil.copy(opts.fake_jvm, os.path.join(root, "bin", "jvm.dll"))
    exe = os.path.join(root, "bin", "launcher.exe")
    command = [opts.pack, "write", "--launcher", opts.launcher, "--output", exe, "--main-class", "a.B"]
    subprocess.run(command + pack + [x for o in options for x in ("--jvm-option", o)], check=True)
    record = os.path.join(case_dir, "record.txt")
    command = ["wine", exe] + args
    if profile:  # Wine sets USERPROFILE itself; a Windows parent passes ours on.
        command = ["wine", "cmd", "/c", "set", f"USERPROFILE={profile}&&", winpath(exe)] + args
    preexec = (lambda: resource.setrlimit(resource.RLIMIT_AS, (limit, limit))) if limit else None
    # Files, not pipes: Wine's background processes inherit the handles.
    with open(os.path.join(case_dir, "err"), "wb") as err, open(os.path.join(case_dir, "out"), "wb") as out:
        code = subprocess.run(command, env=dict(env, PLENWICK_JVM_RECORD=winpath(record), **extra_env),
                              cwd=case_dir, stdout=out, stderr=err, preexec_fn=preexec).returncode
    with open(os.path.join(case_dir, "err"), "rb") as err:
        stderr = [l.rstrip("\r") for l in err.read().decode("utf-8", "replace").split("\n") if l.strip()]
    if not os.path.exists(record):
        return code, stderr, None, winpath(root) + "\\app\\"
    rec = {"options": [], "env": {}}
    with open(record, "rb") as f:
        for line in f.read().decode("utf-8").split("\n"):
            key, _, value = line.rstrip("\r").partition(" ")
            if key == "option":
                rec["options"].append(value)
            elif key == "env":
                rec["env"][value.partition("=")[0]] = value.partition("=")[2]
            elif key:
                rec[key] = value
    return code, stderr, rec, winpath(root) + "\\app\\"


def folders_ok(rec, stderr, package_vars):
    """Every variable set, or the first failure reported once and none set
    (Wine answers E_INVALIDARG to both flags)."""
    env, reports = rec["env"], [l for l in stderr if l.startswith("Error 0x")]
    if not reports:
        return all(env.get(v) for v in FOLDER_VARS) and (
            not package_vars or env.get("LOCALAPPDATA") == env.get("PACKAGE_LOCALAPPDATA"))
    return len(reports) == 1 and not any(v in env for v in FOLDER_VARS) and \
        env.get("LOCALAPPDATA", "").endswith("\\AppData\\Local")


# name, pack flags, JVM options, arguments, environment, USERPROFILE, address-space limit,
# then the expectations: exit code, a stderr line, and a check on (record, stderr, app dir).
CASES = [
    ("rewriting", CALLING,
     ["-Dapp.dir=&&", "-Dx=~/d;~/e", "-Djava.class.path=&&lib\\*.jar;;&&lib\\*;~/h.jar;", "-cp ;&&lib\\a*.jar"],
     ["x", UTF8],  # cmd /c passes them on: no "&&" here
     {"_ALT_JAVA_HOME_DIR": "C:\\elsewhere", "_JAVA_OPTIONS": "-Xmx1m", "JDK_JAVA_OPTIONS": "-Xmx2m",
      "JAVA_TOOL_OPTIONS": "-Xmx3m", "PLENWICK_CONTROL": "kept"}, PROFILE, None, 1, FAILED,
     lambda r, e, app: r["options"] == [
         f"-Dapp.dir={app}", f"-Dx={PROFILE}\\d;{PROFILE}\\e",
         f"-Djava.class.path={app}lib\\a.jar;{app}lib\\b.jar;{app}lib\\e.jarx;;{app}lib\\a.jar;{app}lib\\b.jar;"
         f"{app}lib\\c.txt;{app}lib\\e.jarx;{PROFILE}\\h.jar", f"-cp {app}lib\\a.jar", f"-Dsun.java.command=a.B x {UTF8}"]
     and r["nOptions"] == "5" and r["version"] == "0x10008" and r["ignoreUnrecognized"] == "0"
     and r["acp"] == "65001" and r["thread"] == "initial" and r["stackReserve"] == str(1 << 20)
     and r["env"]["_ALT_JAVA_HOME_DIR"] == app[:-5] and r["env"]["HOME"] == PROFILE
     and r["env"]["USERPROFILE"] == PROFILE and r["env"]["PLENWICK_CONTROL"] == "kept"
     and not {"_JAVA_OPTIONS", "JDK_JAVA_OPTIONS", "JAVA_TOOL_OPTIONS"} & set(r["env"])
     and not any(l.startswith("JVM arg") for l in e)),
    ("known-folders-and-dump", CALLING, ["-Dapp.dir=&&"], [], {"PLENWICK_DUMP_JVM_ARGS": "0"}, None, None, 1,
     FAILED, lambda r, e, app: folders_ok(r, e, False) and [l for l in e if l.startswith("JVM arg")] ==
     [f"JVM arg 0: -Dapp.dir={app}", "JVM arg 1: -Dsun.java.command=a.B"]),
    ("known-folders-package-vars-new-thread", ["--package-appdata-vars"], [], [], {}, None, None, 1, FAILED,
     lambda r, e, app: folders_ok(r, e, True) and r["thread"] == "new" and r["stackReserve"] == str(1 << 20)),
    ("new-thread-8m", ["--stack-size", "8M"], [], [], {}, None, None, 1, FAILED,
     lambda r, e, app: r["thread"] == "new" and int(r["stackReserve"]) >= 8 << 20),
    ("new-thread-impossible-stack", ["--stack-size", str(0xF0000000)], [], [], {}, None, 3 << 30, 1,
     "CreateThread failed.", None),
    ("console-app", CALLING + ["--console-app", "--utf8-console"], [], [], {}, None, None, 1, FAILED,
     lambda r, e, app: r["thread"] == "initial"),
]


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    for flag in ("--launcher", "--fake-jvm", "--pack", "--work"):
        parser.add_argument(flag, required=True)
    parser.add_argument("only", nargs="*", help="run only these cases")
    opts = parser.parse_args()
    opts.work = os.path.abspath(opts.work)
    env = dict(os.environ, WINEPREFIX=os.path.join(opts.work, "prefix"), WINEDEBUG="-all")
    for variable in ("DISPLAY", "WAYLAND_DISPLAY"):
        env.pop(variable, None)
    if not os.path.exists(os.path.join(env["WINEPREFIX"], "system.reg")):
        os.makedirs(opts.work, exist_ok=True)
        subprocess.run(["wineboot", "-i"], env=env, check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
    # Keep the server running between cases; not on our pipes, or they stay open.
    subprocess.run(["wineserver", "-p"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    failed = 0
    for name, pack, options, args, extra, profile, limit, code, line, check in CASES:
        if opts.only and name not in opts.only:
            continue
        got, stderr, rec, app = run_case(opts, env, name, pack, options, args, extra, profile, limit)
        errors = [] if got == code else [f"exit code {got}, wanted {code}"]
        errors += [] if line in stderr else [f"no line {line!r} in {stderr}"]
        if check is None:
            errors += [] if rec is None else ["JNI_CreateJavaVM was called"]
        elif rec is None or not check(rec, stderr, app):
            errors.append(f"record differs: {rec}")
        print(("ok   " if not errors else "FAIL ") + name + "".join("\n     " + e for e in errors))
        failed += bool(errors)
    print(f"wine: {failed} failed" if failed else "wine: all cases passed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
