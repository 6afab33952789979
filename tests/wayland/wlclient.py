#!/usr/bin/env python3
"""A small Wayland client for the tests, speaking the wire format directly (display, registry and
two protocol extensions; nothing that needs shared memory or file descriptors).

  wlclient.py token     prints an activation token, as a launcher hands one to a program it starts
  wlclient.py pointer   adds a pointer to the seat and reads lines from standard input:
                        "move X Y" (output pixels), "press", "release"; it answers each with "ok"
                        once the compositor has taken it."""

import itertools
import os
import socket
import struct
import sys
import time

DISPLAY_ID = 1
BTN_LEFT = 0x110


def message(obj, opcode, payload=b""):
    return struct.pack("<II", obj, ((8 + len(payload)) << 16) | opcode) + payload


def string(text):
    data = text.encode() + b"\0"
    data += b"\0" * (-len(data) % 4)
    return struct.pack("<I", len(text) + 1) + data


def read_string(payload, offset):
    (length,) = struct.unpack_from("<I", payload, offset)
    text = payload[offset + 4:offset + 4 + length - 1].decode()
    return text, offset + 4 + length + (-length % 4)


class Connection:
    def __init__(self):
        runtime = os.environ["XDG_RUNTIME_DIR"]
        name = os.environ.get("WAYLAND_DISPLAY", "wayland-0")
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.settimeout(30)
        self.sock.connect(name if name.startswith("/") else os.path.join(runtime, name))
        self.ids = itertools.count(2)
        self.buffer = b""
        self.registry = next(self.ids)
        self.globals = {}
        self.send(message(DISPLAY_ID, 1, struct.pack("<I", self.registry)))
        self.roundtrip()

    def send(self, data):
        self.sock.sendall(data)

    def events(self):
        while True:
            while len(self.buffer) < 8 or len(self.buffer) < struct.unpack_from("<I", self.buffer, 4)[0] >> 16:
                chunk = self.sock.recv(4096)
                if not chunk:
                    raise SystemExit("the compositor closed the connection")
                self.buffer += chunk
            obj, word = struct.unpack_from("<II", self.buffer)
            size = word >> 16
            payload = self.buffer[8:size]
            self.buffer = self.buffer[size:]
            if obj == DISPLAY_ID and (word & 0xFFFF) == 0:
                raise SystemExit("protocol error: %r" % payload)
            if obj == self.registry and (word & 0xFFFF) == 0:
                (global_name,) = struct.unpack_from("<I", payload)
                interface, _ = read_string(payload, 4)
                self.globals[interface] = global_name
            yield obj, word & 0xFFFF, payload

    def roundtrip(self):
        callback = next(self.ids)
        self.send(message(DISPLAY_ID, 0, struct.pack("<I", callback)))
        for obj, _, _ in self.events():
            if obj == callback:
                return

    def bind(self, interface, version):
        if interface not in self.globals:
            raise SystemExit("the compositor offers no " + interface)
        new = next(self.ids)
        self.send(message(self.registry, 0, struct.pack("<I", self.globals[interface]) + string(interface) +
                          struct.pack("<II", version, new)))
        return new


def token():
    connection = Connection()
    activation = connection.bind("xdg_activation_v1", 1)
    token_id = next(connection.ids)
    # get_activation_token, then commit: a token not tied to a surface or an input event.
    connection.send(message(activation, 1, struct.pack("<I", token_id)) + message(token_id, 3))
    for obj, opcode, payload in connection.events():
        if obj == token_id and opcode == 0:
            print(read_string(payload, 0)[0])
            return 0
    return 1


def pointer():
    connection = Connection()
    manager = connection.bind("zwlr_virtual_pointer_manager_v1", 1)
    device = next(connection.ids)
    connection.send(message(manager, 0, struct.pack("<II", 0, device)))
    connection.roundtrip()
    width, height = (int(v) for v in os.environ.get("OUTPUT_SIZE", "1280x800").split("x"))
    print("ok", flush=True)
    for line in sys.stdin:
        words = line.split()
        stamp = int(time.monotonic() * 1000) & 0xFFFFFFFF
        if words[:1] == ["move"]:
            connection.send(message(device, 1, struct.pack("<IIIII", stamp, int(words[1]), int(words[2]),
                                                           width, height)) + message(device, 4))
        elif words[:1] in (["press"], ["release"]):
            connection.send(message(device, 2, struct.pack("<III", stamp, BTN_LEFT, words[0] == "press")) +
                            message(device, 4))
        connection.roundtrip()
        print("ok", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit({"token": token, "pointer": pointer}[sys.argv[1]]())
