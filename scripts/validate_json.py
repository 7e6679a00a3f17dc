#!/usr/bin/env python3
"""Validates every *.json document in a folder against a JSON Schema.

    validate_json.py SCHEMA FOLDER

Fails when the folder holds no document, so that a test that stopped
writing them cannot pass unseen.
"""
import json
import pathlib
import sys

import jsonschema


def main():
    schema_path, folder = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    schema = json.loads(schema_path.read_text(encoding="utf-8"))
    validator_class = jsonschema.validators.validator_for(schema)
    validator_class.check_schema(schema)
    validator = validator_class(schema)
    documents = sorted(folder.glob("*.json")) if folder.is_dir() else []
    if not documents:
        print(f"no JSON document in {folder}")
        return 1
    failed = 0
    for path in documents:
        # Strict UTF-8: the checker writes nothing else.
        document = json.loads(path.read_bytes().decode("utf-8"))
        errors = sorted(validator.iter_errors(document), key=lambda e: list(e.path))
        for error in errors:
            print(f"{path.name}: {'/'.join(map(str, error.path))}: {error.message}")
        failed += bool(errors)
    print(f"{len(documents) - failed} of {len(documents)} documents valid against {schema_path.name}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
