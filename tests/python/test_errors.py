"""What goes wrong is an exception that says what was expected."""

import os

import numpy as np
import pytest

import tessavorin
from conftest import sample_paths


def message(path, cause):
    return f'Cannot read "{path}": {cause}. Choose another file.'


def test_a_picture_that_cannot_be_read_raises_the_windows_message(tmp_path):
    s = tessavorin.Session(workers=1)
    s.load(sample_paths()[0])
    before = (s.grid.copy(), s.planes.copy(), s.picture)
    empty = tmp_path / "empty.png"
    empty.write_bytes(b"")
    (tmp_path / "folder.jpg").mkdir()
    cases = {
        str(tmp_path / "missing.jpg"): "the file does not exist",
        str(empty): "the file is empty",
        str(tmp_path / "folder.jpg"): "it is a folder, not a picture file",
    }
    for path, cause in cases.items():
        with pytest.raises(tessavorin.PictureError) as caught:
            s.load(path, placement="fit")
        assert str(caught.value) == message(path, cause)
        assert isinstance(caught.value, ValueError)
    assert np.array_equal(s.grid, before[0]) and np.array_equal(s.planes, before[1])
    assert s.picture == before[2], "the placement asked stays that of the last picture"


def test_a_file_name_that_is_not_text_comes_back_as_it_was(tmp_path):
    name = os.fsencode(str(tmp_path)) + b"/caf\xe9.jpg"
    with pytest.raises(tessavorin.PictureError) as caught:
        tessavorin.Session(workers=1).load(name)
    assert os.fsencode(str(caught.value)).startswith(b'Cannot read "' + name + b'"')


@pytest.mark.parametrize("value, error, words", [
    ([[[1, 2, 3]]], TypeError, "numpy array"),
    (np.zeros((4, 4, 3), np.float32), TypeError, "dtype uint8, not dtype float32"),
    (np.zeros((4, 4, 3), np.int16), TypeError, "dtype uint8"),
    (np.zeros((4, 4), np.uint8), ValueError, "shape (h, w, 3)"),
    (np.zeros((4, 4, 4), np.uint8), ValueError, "not shape (4, 4, 4)"),
    (np.zeros((0, 4, 3), np.uint8), ValueError, "h, w >= 1"),
])
def test_load_array_names_the_array_it_takes(value, error, words):
    with pytest.raises(error) as caught:
        tessavorin.Session(workers=1).load_array(value)
    assert words in str(caught.value)


@pytest.mark.parametrize("call, error, words", [
    (lambda s: s.load(12), TypeError, "str, bytes or os.PathLike"),
    (lambda s: s.load(sample_paths()[0], placement="middle"), ValueError, '"top-left", "fit"'),
    (lambda s: s.load(sample_paths()[0], placement=3), TypeError, "not int"),
    (lambda s: s.load(sample_paths()[0], placement=("part", 1)), ValueError, "('part', 1)"),
    (lambda s: s.load(sample_paths()[0], placement=("part", -1, 0)), ValueError, ">= 0"),
    (lambda s: s.load(sample_paths()[0], placement=("part", 1.5, 0)), TypeError, "not float"),
    (lambda s: s.find_areas(threshold=256), ValueError, "0 to 255, not 256"),
    (lambda s: s.find_areas(threshold=True), TypeError, "not bool"),
    (lambda s: s.find_areas(threshold="68"), TypeError, "not str"),
    (lambda s: s.find_areas(plane=20), ValueError, "0 to 19"),
    (lambda s: s.find_areas(plane="aX"), ValueError, "PLANE_NAMES"),
    (lambda s: s.scan(plane=-1), ValueError, "0 to 19"),
    (lambda s: tessavorin.Session(workers=0), ValueError, "workers"),
    (lambda s: tessavorin.Session(workers=2.0), TypeError, "workers"),
])
def test_arguments_name_what_they_take(call, error, words):
    s = tessavorin.Session(workers=1)
    s.load(sample_paths()[0])
    with pytest.raises(error) as caught:
        call(s)
    assert words in str(caught.value)


def test_steps_in_the_wrong_order_say_what_comes_first(tmp_path):
    s = tessavorin.Session(workers=1)
    assert s.picture is None
    with pytest.raises(RuntimeError, match=r"call load\(\) or load_array\(\)"):
        s.find_areas()
    with pytest.raises(RuntimeError, match="no picture"):
        s.scan()
    with pytest.raises(RuntimeError, match=r"call find_areas\(\) or scan\(\)"):
        s.export(tmp_path / "out")
    s.load(sample_paths()[0])
    s.find_areas()
    s.load(sample_paths()[1])
    with pytest.raises(RuntimeError, match="no analysis of this picture"):
        s.export(tmp_path / "out")
    assert not (tmp_path / "out").exists()


def test_export_never_replaces_what_it_did_not_make(tmp_path):
    s = tessavorin.Session(workers=1)
    s.load(sample_paths()[0])
    s.find_areas()
    mine = tmp_path / "mine"
    mine.mkdir()
    (mine / "notes.txt").write_text("keep me")
    (tmp_path / "file").write_text("me too")
    for target in (mine, tmp_path / "file"):
        with pytest.raises(FileExistsError, match="not a result folder"):
            s.export(target)
    assert (mine / "notes.txt").read_text() == "keep me"
    assert (tmp_path / "file").read_text() == "me too"
    assert sorted(p.name for p in tmp_path.iterdir()) == ["file", "mine"]
    # Not even an empty folder of the user's is taken: only a folder this
    # program made is ever replaced.
    empty = tmp_path / "empty"
    empty.mkdir()
    with pytest.raises(FileExistsError, match="not a result folder"):
        s.export(empty)
    assert list(empty.iterdir()) == []
    s.export(tmp_path / "ours")
    s.export(tmp_path / "ours")  # its own folder it replaces
    assert (tmp_path / "ours" / "analysis.json").is_file()


def test_a_folder_that_cannot_be_made_raises_export_error(tmp_path):
    s = tessavorin.Session(workers=1)
    s.load(sample_paths()[0])
    s.find_areas()
    (tmp_path / "file").write_text("a file, not a folder")
    with pytest.raises(tessavorin.ExportError) as caught:
        s.export(tmp_path / "file" / "out")
    assert isinstance(caught.value, OSError)
    assert str(caught.value).startswith(f'Cannot write "{tmp_path / "file"}')
    assert "a file stands where a folder of its path should be" in str(caught.value)
    assert sorted(p.name for p in tmp_path.iterdir()) == ["file"]
