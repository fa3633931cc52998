"""The Python module end to end: labels read back by zxing-cpp, errors and their fields, verify
against the command line, threads, and no leaks."""

import json
import os
import pathlib
import re
import subprocess
import threading

import pytest
import zxingcpp

import lorvaxen

TOOL = os.environ.get("LORVAXEN_TOOL", "lorvaxen")
README = pathlib.Path(os.environ.get("LORVAXEN_README", "README.md"))

# symbology, text, options, what a reader returns
SYMBOLS = [
    ("jan", "490123456789", {}, "4901234567894"),
    ("upca", "03600029145", {}, "036000291452"),
    ("code39", "LORVAXEN", {"check": True, "rotate": 90}, "LORVAXENB"),
    ("itf", "1234567", {"check": True, "fg": "#003399", "bg": "#ffee88"}, "12345670"),
    ("itf14", "1234567890123", {"narrow": "40mil", "dpi": 203}, "12345678901231"),
    ("nw7", "A40156A", {"bg": None}, "40156"),
    ("codabar", "A123B", {"check": True, "bar_reduction": "0.04mm"}, "1239"),
]


@pytest.mark.parametrize("symbology,text,options,read", SYMBOLS, ids=[s[0] for s in SYMBOLS])
def test_every_symbology_reads_back(symbology, text, options, read):
    label = lorvaxen.make(text, symbology, **options)
    image = label.to_image()
    assert image.size == (label.width_px, label.height_px)
    assert image.info["dpi"] == (label.dpi, label.dpi)
    assert zxingcpp.read_barcode(image).text == read
    # The pixels three ways, one picture: 0 where a bar is, whatever the colours.
    array = label.to_numpy()
    assert array.shape == (label.height_px, label.width_px)
    assert memoryview(label).tobytes() == array.tobytes()
    assert zxingcpp.read_barcode(array).text == read
    for name, magic in (("png", b"\x89PNG"), ("svg", b"<?xml"), ("pdf", b"%PDF"), ("eps", b"%!PS")):
        assert getattr(label, "to_" + name)().startswith(magic)


# arguments, the exception, and the fields it must carry or a word its message must hold
ERRORS = [
    (("a#b",), {}, lorvaxen.RefusedText, {"code": -22, "position": 2, "character": "#"}),
    (("4901234567890", "jan"), {}, lorvaxen.RefusedText, {"code": None}),
    (("A1B2C", "codabar"), {}, lorvaxen.RefusedText, {"code": None}),
    (("\u00e9x",), {}, lorvaxen.RefusedText, {"position": 1, "character": "\u00e9"}),
    (("X",), {"narrow": "13xx"}, ValueError, "narrow"),
    (("X",), {"narrow": [1]}, TypeError, "narrow"),
    (("X", "qr"), {}, ValueError, "symbology"),
    (("X",), {"rotate": 45}, ValueError, "rotate"),
    (("X",), {"fg": "grey"}, ValueError, "fg"),
    (("X",), {"fg": "white", "bg": "white"}, ValueError, "fg"),
    (("X",), {"bearer": "frame"}, ValueError, "bearer"),
    (("X",), {"dpi": 0}, ValueError, "dpi"),
    (("X",), {"ratio": float("nan")}, ValueError, "ratio"),
    (("X",), {"height": -1}, lorvaxen.RefusedText, {"code": -2}),
]


@pytest.mark.parametrize("args,kwargs,error,expected", ERRORS)
def test_errors_carry_what_went_wrong(args, kwargs, error, expected):
    with pytest.raises(error) as raised:
        lorvaxen.make(*args, **kwargs)
    if isinstance(expected, dict):
        for field, value in expected.items():
            assert getattr(raised.value, field) == value, str(raised.value)
    else:
        assert str(raised.value).startswith(expected)


def test_verify_refuses_what_is_no_image():
    with pytest.raises(ValueError):
        lorvaxen.verify(b"not an image")
    with pytest.raises(TypeError):
        lorvaxen.verify(12)
    with pytest.raises(ValueError, match="light"):
        lorvaxen.verify(b"", light="purple")


def test_verify_grades_a_label_a_as_the_command_line_does(tmp_path):
    path = tmp_path / "label.png"
    lorvaxen.make("4901234567894", "jan", dpi=300).save(path)
    graded = lorvaxen.verify(path)
    assert (graded.letter, graded.text) == ("A", "4901234567894")
    line = subprocess.run([TOOL, "verify", "--json", str(path)], check=True,
                          capture_output=True, text=True).stdout
    assert graded.as_dict() == json.loads(line)
    in_memory = lorvaxen.verify(path.read_bytes()).as_dict()
    assert in_memory["image"] is None
    assert in_memory["grade"] == graded.grade


def test_two_threads_make_the_labels_one_makes():
    texts = [f"LBL-{i:04d}" for i in range(200)]
    alone = [lorvaxen.make(t, dpi=300).to_png() for t in texts]
    results = [None, None]

    def run(slot):
        results[slot] = [lorvaxen.make(t, dpi=300).to_png() for t in texts]

    threads = [threading.Thread(target=run, args=(slot,)) for slot in (0, 1)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert results == [alone, alone]


def resident_kib():
    return int(pathlib.Path("/proc/self/statm").read_text().split()[1]) * os.sysconf(
        "SC_PAGE_SIZE") // 1024


def test_no_references_or_memory_leak_over_ten_thousand_calls():
    text = "LEAK-CHECK"
    before = None
    for round_ in range(2):
        references = sys_refcount(text)
        for _ in range(5000):
            label = lorvaxen.make(text, dpi=203)
            label.to_png()
            memoryview(label).release()
            try:
                lorvaxen.make(text + "#")
            except lorvaxen.RefusedText:
                pass
        assert sys_refcount(text) == references
        if before is None:
            before = resident_kib()
    assert resident_kib() - before < 4096


def sys_refcount(value):
    import sys
    return sys.getrefcount(value)


def test_the_readme_example_runs(tmp_path, monkeypatch):
    section = README.read_text().split("## Python", 1)[1]
    example = re.search(r"```python\n(.*?)```", section, re.S).group(1)
    monkeypatch.chdir(tmp_path)
    exec(compile(example, "README.md", "exec"), {})
