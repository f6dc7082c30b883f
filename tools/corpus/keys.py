"""Real certificates, key stores and OpenPGP files made with openssl and gpg."""
import os
import pathlib
import shutil
import subprocess
import tempfile

PACKAGES = ["openssl", "gnupg"]


def _run(args, **kw):
    return subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kw)


def make(out: pathlib.Path) -> list[tuple[str, str]]:
    out.mkdir(parents=True, exist_ok=True)
    made: list[tuple[str, str]] = []

    def attempt(name, ext, fn):
        path = out / name
        if path.exists():
            path.unlink()
        try:
            fn(path)
        except (OSError, subprocess.CalledProcessError):
            return
        if path.exists():
            made.append((name, ext))

    work = pathlib.Path(tempfile.mkdtemp(prefix="corpus-keys-"))
    if shutil.which("openssl"):
        key = work / "key.pem"
        pem = work / "cert.pem"
        try:
            _run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", str(key), "-out", str(pem),
                  "-subj", "/CN=corpus.example.org", "-days", "30"])
            attempt("cert.der", "der", lambda p: _run(["openssl", "x509", "-in", str(pem), "-outform", "DER", "-out", str(p)]))
            attempt("cert.p12", "p12", lambda p: _run(["openssl", "pkcs12", "-export", "-in", str(pem), "-inkey", str(key),
                                                       "-passout", "pass:corpus", "-out", str(p)]))
            attempt("cert-legacy.p12", "p12", lambda p: _run(["openssl", "pkcs12", "-export", "-legacy", "-in", str(pem),
                                                              "-inkey", str(key), "-passout", "pass:x", "-out", str(p)]))
        except (OSError, subprocess.CalledProcessError):
            pass
        ec_key, ec_pem = work / "ec.pem", work / "ec-cert.pem"
        try:
            _run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256", "-nodes",
                  "-keyout", str(ec_key), "-out", str(ec_pem), "-subj", "/CN=ec.example.org"])
            attempt("ec-cert.der", "der", lambda p: _run(["openssl", "x509", "-in", str(ec_pem), "-outform", "DER", "-out", str(p)]))
        except (OSError, subprocess.CalledProcessError):
            pass
    if shutil.which("gpg"):
        home = work / "gnupg"
        home.mkdir(mode=0o700)
        env = dict(os.environ, GNUPGHOME=str(home))
        gpg = ["gpg", "--batch", "--yes", "--pinentry-mode", "loopback", "--passphrase", ""]
        data = work / "message.txt"
        data.write_text("A message for the corpus.\n" * 20)
        try:
            _run(gpg + ["--quick-generate-key", "Corpus <corpus@example.org>", "ed25519", "sign", "never"], env=env)
            fpr = subprocess.run(["gpg", "--batch", "--with-colons", "--list-keys"], env=env, capture_output=True,
                                 text=True, check=True).stdout
            fpr = next(line.split(":")[9] for line in fpr.splitlines() if line.startswith("fpr"))
            _run(gpg + ["--quick-add-key", fpr, "cv25519", "encr", "never"], env=env)
        except (OSError, subprocess.CalledProcessError, StopIteration):
            shutil.rmtree(work, ignore_errors=True)
            return made
        attempt("public.gpg", "gpg", lambda p: _run(gpg + ["--output", str(p), "--export"], env=env))
        attempt("secret.gpg", "gpg", lambda p: _run(gpg + ["--output", str(p), "--export-secret-keys"], env=env))
        attempt("message.txt.sig", "sig", lambda p: _run(gpg + ["--output", str(p), "--detach-sign", str(data)], env=env))
        attempt("signed.gpg", "gpg", lambda p: _run(gpg + ["--output", str(p), "--sign", str(data)], env=env))
        attempt("encrypted.gpg", "gpg", lambda p: _run(gpg + ["--output", str(p), "--encrypt", "-r", "corpus@example.org",
                                                          str(data)], env=env))
        attempt("symmetric.gpg", "gpg", lambda p: _run(["gpg", "--batch", "--yes", "--pinentry-mode", "loopback",
                                                        "--passphrase", "corpus", "--output", str(p), "--symmetric",
                                                        str(data)], env=env))
        if (home / "pubring.kbx").exists():
            shutil.copy(home / "pubring.kbx", out / "pubring.kbx")
            made.append(("pubring.kbx", "kbx"))
        subprocess.run(["gpgconf", "--kill", "all"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    shutil.rmtree(work, ignore_errors=True)
    return made
