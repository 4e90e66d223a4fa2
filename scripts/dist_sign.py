"""Authenticode signatures for the release: the program before it is packed,
then the packages, with osslsigncode and SHA-256.

The certificate and its private key come either as one PKCS#12 file or as a
PEM certificate (chain) and a PEM key; the password of the PKCS#12 file or
of an encrypted key is read from a file, so that it never shows in a command
line. With a time-stamp URL (RFC 3161) the signatures stay valid after the
certificate expires.
"""
import os
import subprocess


class Signer:
    def __init__(self, pkcs12=None, cert=None, key=None, password_file=None,
                 timestamp_url=None):
        if pkcs12 and (cert or key):
            raise ValueError("give either a PKCS#12 file or a certificate and key, not both")
        if not pkcs12 and not (cert and key):
            raise ValueError("a certificate needs its key, and a key its certificate")
        for path in (pkcs12, cert, key, password_file):
            if path and not os.path.isfile(path):
                raise ValueError("no file %s" % path)
        self.credentials = ["-pkcs12", pkcs12] if pkcs12 else ["-certs", cert, "-key", key]
        if password_file:
            self.credentials += ["-readpass", password_file]
        self.timestamp = ["-ts", timestamp_url] if timestamp_url else []

    def sign(self, path, description):
        """Signs the file in place."""
        signed = path + ".signed"
        done = subprocess.run(["osslsigncode", "sign", "-h", "sha256", "-n", description]
                              + self.credentials + self.timestamp + ["-in", path, "-out", signed],
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        if done.returncode != 0:
            if os.path.exists(signed):
                os.remove(signed)
            raise RuntimeError("osslsigncode could not sign %s:\n%s"
                               % (path, done.stdout.decode("utf-8", "replace").strip()))
        os.replace(signed, path)


def from_options(options):
    """A Signer when the options name a certificate, otherwise None."""
    if not (options.pkcs12 or options.cert or options.key):
        if options.password_file or options.timestamp_url:
            raise ValueError("a password file or time-stamp URL without a certificate")
        return None
    return Signer(options.pkcs12, options.cert, options.key, options.password_file,
                  options.timestamp_url)
