"""Settings and schema as the command line takes them: a dict, a JSON file,
or for settings also the name of a shipped profile."""

import json
import re
import os
from pathlib import Path

from . import _core
from ._errors import ZelcraftArgumentError, ZelcraftInputError

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
        try:
            return json.dumps(settings, default=_plain), "settings"
        except (TypeError, ValueError) as error:
            raise ZelcraftArgumentError(f"settings: {error}") from None
    if isinstance(settings, (str, os.PathLike)):
        text = os.fspath(settings)
        if isinstance(settings, str) and _is_profile_name(text):
            path = PROFILES_DIR / f"{text}.json"
            if not path.is_file():
                known = ", ".join(profile_names()) or "none are installed"
                raise ZelcraftInputError(f"no settings profile '{text}' (profiles: {known})")
            return _read(path, "settings"), str(path)
        return _read(text, "settings"), text
    raise ZelcraftArgumentError("settings: a dict, a JSON file or a profile name")


def _plain(value):
    """A numpy scalar as the Python number or flag it holds."""
    if hasattr(value, "item") and getattr(value, "ndim", None) == 0:
        return value.item()
    raise TypeError(f"a value of type {type(value).__name__} is no JSON value")


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
        raise ZelcraftArgumentError("schema: a dict or a JSON file")
    if set(schema) == {"fields"} and isinstance(schema["fields"], dict):
        schema = schema["fields"]
    return {str(name): dict(spec) for name, spec in schema.items()}


def schema_text(fields):
    return json.dumps({"fields": fields}, default=_plain) if fields else ""


def setting_keys():
    """The settings keys: name -> (type, default, description)."""
    return {name: (kind, default, text) for name, kind, default, text in _core.setting_keys()}


def snake_case(key):
    """A settings key in snake case: "targetSD" is "target_sd"."""
    return re.sub(r"(?<=[a-z0-9])(?=[A-Z])|(?<=[A-Z])(?=[A-Z][a-z])", "_", key).lower()


def setting_value(settings, overrides, key):
    """The value a build takes for a settings key: the overrides', the
    settings', else its default."""
    if key in (overrides or {}):
        return overrides[key]
    text, _ = settings_text(settings)
    if text:
        try:
            given = json.loads(text)
        except ValueError:
            given = {}
        if isinstance(given, dict) and key in given:
            return given[key]
    return setting_keys()[key][1]
