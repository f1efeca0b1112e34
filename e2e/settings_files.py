"""The two settings files as the suite reads and writes them from outside the programs: the
scrambled record (sixteen comma-separated fields, every byte raised by 100) and the exchange file
(five quoted lines)."""

import os

APPLICATION = "Lumi Vart"
PASSWORD_FIELD = 14  # ProtectPassword, counted from 0
GEOMETRY_FIELDS = slice(1, 6)  # ThumbHeight, ThumbWidth, CaptionWidth, SpacingH, SpacingV


def folder(home):
    return os.path.join(home, ".config", APPLICATION)


def record_path(home):
    return os.path.join(folder(home), "Valores", "Configuracion")


def read_record(home):
    """The sixteen fields of the stored record, or None when there is none."""
    try:
        with open(record_path(home), "rb") as file:
            scrambled = file.read()
    except FileNotFoundError:
        return None
    return bytes(b - 100 for b in scrambled).decode("latin-1").split(",")


def write_record(home, fields):
    if len(fields) != 16 or any("," in field for field in fields):
        raise ValueError("a record has sixteen fields without commas")
    os.makedirs(os.path.dirname(record_path(home)), exist_ok=True)
    with open(record_path(home), "wb") as file:
        file.write(bytes(b + 100 for b in ",".join(fields).encode("latin-1")))


def exchange_path(home):
    return os.path.join(folder(home), "Lumivart.ini")


def read_exchange(home):
    """The exchange file's items as a dictionary of key to value."""
    with open(exchange_path(home), "rb") as file:
        lines = file.read().decode("utf-8").split("\r\n")
    items = {}
    for line in lines:
        item = line.strip('"')
        if "=" in item:
            key, value = item.split("=", 1)
            items[key.strip()] = value.strip()
    return items


def write_exchange(home, path, tempo, pattern, protect):
    os.makedirs(folder(home), exist_ok=True)
    items = ["Lumi Vart", f"ImagePath = {path}", f"ImageTempo = {tempo}",
             f"ImageFilter = {pattern}", f"ImageProtect = {protect}"]
    with open(exchange_path(home), "wb") as file:
        file.write("".join(f'"{item}"\r\n' for item in items).encode("utf-8"))
