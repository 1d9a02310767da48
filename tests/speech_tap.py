#!/usr/bin/env python3
"""Stands between a screen reader and speech-dispatcher and writes down every text the reader
sends to be spoken, the moment it is sent: what the reader says, before a later key press can
cut it off in the speech queue. The bytes pass through untouched both ways.

Usage: speech_tap.py LISTEN_SOCKET SPEECHD_SOCKET LOG
Each text is one NUL-ended record in LOG, markup removed.
"""
import html
import re
import socket
import sys
import threading

listen_path, speechd_path, log_path = sys.argv[1:4]
log_lock = threading.Lock()


def write_down(text):
    # Marks and other markup carry no words; entities stand for the characters they name.
    if text.lstrip().startswith("<speak"):
        text = html.unescape(re.sub(r"<[^>]*>", "", text))
    with log_lock, open(log_path, "ab") as log:
        log.write(text.encode() + b"\0")


def pass_through(source, sink):
    try:
        while chunk := source.recv(65536):
            sink.sendall(chunk)
    except OSError:
        pass
    finally:
        sink.close()


def reader_to_speechd(reader, speechd):
    """Forwards the reader's commands; keeps SPEAK's text, CHAR's and KEY's argument."""
    pending, text = b"", None
    try:
        while chunk := reader.recv(65536):
            speechd.sendall(chunk)
            pending += chunk
            while b"\r\n" in pending:
                line, pending = pending.split(b"\r\n", 1)
                line = line.decode(errors="replace")
                if text is not None:
                    if line == ".":
                        write_down("\n".join(text))
                        text = None
                    else:
                        text.append(line[1:] if line.startswith("..") else line)
                    continue
                command, _, argument = line.partition(" ")
                if command.upper() == "SPEAK":
                    text = []
                elif command.upper() in ("CHAR", "KEY"):
                    write_down(argument)
    except OSError:
        pass
    finally:
        speechd.close()


server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
server.bind(listen_path)
server.listen()
while True:
    reader, _ = server.accept()
    speechd = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    speechd.connect(speechd_path)
    threading.Thread(target=reader_to_speechd, args=(reader, speechd), daemon=True).start()
    threading.Thread(target=pass_through, args=(speechd, reader), daemon=True).start()
