"""The progress bar: tqdm in terminals and notebooks (a widget where
ipywidgets is installed, text otherwise), shown once a run has lasted a
second, fed by the extension's callbacks (phase, records, total): every
pass of a build and every replay has its total of records."""

import sys
import time


def _interactive():
    if "ipykernel" in sys.modules:
        return True
    try:
        return sys.stderr.isatty()
    except (AttributeError, ValueError):
        return False


def _bar_class():
    """tqdm's notebook widget in a notebook that can draw it; its text bar
    elsewhere, without the warning tqdm.auto gives for a missing widget."""
    if "ipykernel" in sys.modules:
        try:
            import ipywidgets  # noqa: F401
            from tqdm.notebook import tqdm
            return tqdm
        except ImportError:
            pass
    from tqdm.std import tqdm
    return tqdm


class ProgressBar:
    """Called as bar(phase, records, total); close() when the run ends."""

    DELAY = 1.0

    def __init__(self):
        self._start = time.monotonic()
        self._bar = None
        self._phase = None

    def __call__(self, phase, records, total):
        if self._bar is None:
            if time.monotonic() - self._start < self.DELAY:
                self._phase = phase
                return
            self._bar = _bar_class()(desc=phase, total=total or None, unit=" records",
                                     leave=False, file=sys.stderr)
            self._phase = phase
        if phase != self._phase:
            self._phase = phase
            self._bar.set_description(phase)
            self._bar.reset(total=total or None)
        self._bar.n = records
        self._bar.refresh()

    def close(self):
        if self._bar is not None:
            self._bar.close()


def progress_for(progress):
    """A bar for progress=True, none for False, and for None a bar when
    standard error is a terminal or the code runs in a notebook."""
    if progress is None:
        progress = _interactive()
    if not progress:
        return None
    try:
        import tqdm  # noqa: F401
    except ImportError:
        return None
    return ProgressBar()


def run_with_progress(progress, work):
    """Runs work(callback) with the progress bar progress= asks for."""
    bar = progress_for(progress)
    try:
        return work(bar)
    finally:
        if bar is not None:
            bar.close()
