"""Several CSV files prepared as one data set from Python: a list of paths
or a glob pattern gives the document of the files' concatenation, in memory,
streamed and on two threads, and the command line's for the same files;
a differing header, a pattern matching nothing and a file given twice are
refused."""

import warnings

import pytest

import zelcraft
from conftest import run_cli, timeless

HEADER = "x,k,cat,y"


def _row(i):
    x = (i * 7919) % 1000 / 10 + i % 3
    category = i // 600 + i % 5
    return f"{x:.1f},{i % 97},c{category},{x * 2 + category % 7:.1f}"


def _write_parts(tmp_path):
    """Three files past one block of rows (a BOM and CRLF in the second,
    no final line break in the third) and their concatenation."""
    sizes = [40000, 25536, 9000]
    texts, rows, start = [], [], 0
    for size in sizes:
        rows.append([_row(i) for i in range(start, start + size)])
        start += size
    texts = ["\n".join([HEADER, *rows[0]]) + "\n",
             "\ufeff" + "\r\n".join([HEADER, *rows[1]]),
             "\n".join([HEADER, *rows[2]])]
    paths = []
    for n, text in enumerate(texts, 1):
        path = tmp_path / f"part-{n}.csv"
        path.write_bytes(text.encode("utf-8"))
        paths.append(path)
    whole = tmp_path / "whole.csv"
    whole.write_text("\n".join([HEADER, *rows[0], *rows[1], *rows[2]]) + "\n")
    return paths, whole


def _prepare(data, **options):
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        return zelcraft.prepare(data, target="y", overrides={"maxNOfUniqueCategories": 60},
                                **options)


def test_a_list_or_a_glob_gives_the_document_of_the_concatenation(tmp_path):
    paths, whole = _write_parts(tmp_path)
    expected = timeless(_prepare(str(whole)).document)
    listed = _prepare(paths)
    assert timeless(listed.document) == expected
    assert "part-1.csv and 2 more files" in listed.report()
    assert timeless(_prepare(str(tmp_path / "part-*.csv"), stream=True).document) == expected
    assert timeless(_prepare(tuple(map(str, paths)), threads=2).document) == expected
    # The command line reads the same files into the same document.
    assert run_cli(["prepare", "part-*.csv", "--target", "y", "--set",
                    "maxNOfUniqueCategories=60", "-o", "cli.pmml", "-q"], tmp_path).returncode == 0
    assert timeless((tmp_path / "cli.pmml").read_text()) == expected


def test_bad_lists_of_files_are_refused(tmp_path):
    (tmp_path / "a.csv").write_text("x,y\n1,2\n3,4\n")
    (tmp_path / "b.csv").write_text("x,z\n1,2\n")
    with pytest.raises(zelcraft.ZelcraftInputError,
                       match="b.csv: its header differs from that of .*a.csv at column 2: 'z' "
                             "where .*a.csv has 'y'"):
        zelcraft.prepare([tmp_path / "a.csv", tmp_path / "b.csv"])
    with pytest.raises(zelcraft.ZelcraftInputError, match="no file matches the pattern"):
        zelcraft.prepare(str(tmp_path / "none-*.csv"))
    (tmp_path / "link.csv").symlink_to(tmp_path / "a.csv")
    for again in (str(tmp_path / "a.csv"), str(tmp_path / "." / "a.csv"), tmp_path / "link.csv"):
        with pytest.raises(zelcraft.ZelcraftInputError, match="given twice"):
            zelcraft.prepare([tmp_path / "a.csv", again])
    with pytest.raises(zelcraft.ZelcraftArgumentError, match="empty list"):
        zelcraft.prepare([])
    with pytest.raises(zelcraft.ZelcraftArgumentError, match="paths of CSV files"):
        zelcraft.prepare([tmp_path / "a.csv", 3])
