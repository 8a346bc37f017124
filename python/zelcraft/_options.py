"""Settings and schema as the command line takes them: a dict, a JSON file,
or for settings also the name of a shipped profile."""

import json
import os
from pathlib import Path

from . import _core
from ._errors import ZelcraftInputError

# The settings profiles shipped with the package (a copy of the project's
# profiles/ folder made when the package is built).
PROFILES_DIR = Path(__file__).resolve().parent / "profiles"


def profile_names():
    """The names of the shipped settings profiles."""
    if not PROFILES_DIR.is_dir():
        return []
    return sorted(p.stem for p in PROFILES_DIR.glob("*.json"))


def _is_profile_name(text):
    return os.sep not in text and "/" not in text and not text.endswith(".json")


def _read(path, what):
    try:
        return Path(path).read_text(encoding="utf-8")
    except OSError as error:
        raise ZelcraftInputError(f"cannot read the {what} file {path}: {error.strerror}") from None


def settings_text(settings):
    """The settings as (JSON text, name for messages)."""
    if settings is None:
        return "", ""
    if isinstance(settings, dict):
        return json.dumps(settings), "settings"
    if isinstance(settings, (str, os.PathLike)):
        text = os.fspath(settings)
        if isinstance(settings, str) and _is_profile_name(text):
            path = PROFILES_DIR / f"{text}.json"
            if not path.is_file():
                known = ", ".join(profile_names()) or "none are installed"
                raise ZelcraftInputError(f"no settings profile '{text}' (profiles: {known})")
            return _read(path, "settings"), str(path)
        return _read(text, "settings"), text
    raise TypeError("settings: a dict, a JSON file or a profile name")


def schema_fields(schema):
    """The schema as a dict of field name to field metadata."""
    if schema is None:
        return {}
    if isinstance(schema, (str, os.PathLike)):
        text = _read(os.fspath(schema), "schema")
        try:
            schema = json.loads(text)
        except ValueError as error:
            raise ZelcraftInputError(f"{os.fspath(schema)}: {error}") from None
    if not isinstance(schema, dict):
        raise TypeError("schema: a dict or a JSON file")
    if set(schema) == {"fields"} and isinstance(schema["fields"], dict):
        schema = schema["fields"]
    return {str(name): dict(spec) for name, spec in schema.items()}


def schema_text(fields):
    return json.dumps({"fields": fields}) if fields else ""


def setting_keys():
    """The settings keys: name -> (type, default, description)."""
    return {name: (kind, default, text) for name, kind, default, text in _core.setting_keys()}
