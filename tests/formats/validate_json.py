#!/usr/bin/env python3
"""Parses every line of JSON Lines files with Python's own parser and checks each object
against the schema. validate_json.py SCHEMA FILE..."""
import json
import sys

import jsonschema

schema = json.load(open(sys.argv[1], encoding="utf-8"))
jsonschema.Draft202012Validator.check_schema(schema)
validator = jsonschema.Draft202012Validator(schema)
objects = faults = 0
for name in sys.argv[2:]:
    # Bytes first: a line that is no UTF-8 is a fault of its own, not a crash of the check.
    with open(name, "rb") as lines:
        for number, raw in enumerate(lines, 1):
            try:
                game = json.loads(raw.decode("utf-8"))
            except (UnicodeDecodeError, json.JSONDecodeError) as error:
                faults += 1
                print(f"{name}:{number}: not JSON: {error}")
                continue
            objects += 1
            for error in validator.iter_errors(game):
                faults += 1
                if faults <= 20:
                    print(f"{name}:{number}: {error.json_path}: {error.message[:200]}")
print(f"{objects} objects parsed and checked against the schema, {faults} faults")
sys.exit(1 if faults or not objects else 0)
