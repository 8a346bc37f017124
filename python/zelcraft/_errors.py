"""The package's errors and warnings, carrying what the command line says."""


class ZelcraftError(Exception):
    """A preparation or replay failed.

    ``code`` is the component's status code (None for input errors, which
    have none), ``message`` the command line's message for it, ``note`` the
    explanation it adds (which target was excluded and why), ``exit_status``
    the status the command line would exit with (2 input, 1 component).
    """

    exit_status = 1

    def __init__(self, message, code=None, note=""):
        self.code = code
        self.message = message
        self.note = note
        text = f"error {code}: {message}" if code else f"error: {message}"
        if note:
            text += f"\nnote: {note}"
        super().__init__(text)

    def __reduce__(self):
        return (type(self), (self.message, self.code, self.note))


class ZelcraftInputError(ZelcraftError, ValueError):
    """The data, the schema or the settings cannot be used as given."""

    exit_status = 2


class ZelcraftArgumentError(ZelcraftInputError, TypeError):
    """An argument of a kind the call does not take (a target that is no
    column name, settings that are no dict): a TypeError as well."""


class ZelcraftComponentError(ZelcraftError):
    """The component refused the build or failed in it."""

    exit_status = 1


class ZelcraftWarning(UserWarning):
    """A warning of the component or of the data source."""


def raise_for_outcome(result):
    """`result` of the extension, unless it is an outcome dict naming an
    error, which is raised."""
    if isinstance(result, dict) and "error" in result:
        kind = ZelcraftInputError if result["error"] == "input" else ZelcraftComponentError
        raise kind(result["message"], result["code"] or None, result["note"] or "")
    return result
