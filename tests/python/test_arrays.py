"""Pictures from memory, and the views of the grid and the planes."""

import gc
import weakref

import numpy as np
import pytest

import tessavorin
from conftest import busy_pixels, same_result, sample_paths, write_bmp

PLACEMENTS = ["top-left", ("part", 130, 47), ("part", 5000, 5000), "fit"]


@pytest.mark.parametrize("placement", PLACEMENTS, ids=str)
@pytest.mark.parametrize("shape", [(530, 700), (300, 257), (90, 120)], ids=str)
def test_load_array_equals_load_of_the_same_pixels(tmp_path, placement, shape):
    rgb = busy_pixels(*shape)
    write_bmp(tmp_path / "p.bmp", rgb)
    from_file, from_memory = tessavorin.Session(), tessavorin.Session()
    from_file.load(tmp_path / "p.bmp", placement=placement)
    from_memory.load_array(rgb, placement=placement)
    assert np.array_equal(from_memory.grid, from_file.grid)
    assert np.array_equal(from_memory.planes, from_file.planes)
    assert from_memory.picture["placement"] == from_file.picture["placement"]
    assert same_result(from_memory.find_areas(), from_file.find_areas())
    assert same_result(from_memory.scan(), from_file.scan())


def test_the_grid_holds_what_lands_in_red_green_blue():
    rgb = busy_pixels(600, 520)
    s = tessavorin.Session(workers=1)
    s.load_array(rgb)
    assert np.array_equal(s.grid, rgb[:256, :256])
    s.load_array(rgb, placement=("part", 500, 20))
    assert s.picture["placement"] == ("part", 264, 20), "moved inside the picture"
    assert np.array_equal(s.grid, rgb[20:276, 264:520])
    s.load_array(rgb, placement="fit")
    assert s.picture["placement"] == ("fit", 3)
    blocks = rgb[:600, :519].reshape(200, 3, 173, 3, 3).astype(np.int64).sum(axis=(1, 3))
    assert np.array_equal(s.grid[:200, :173], (blocks + 4) // 9), "rounded block means"
    # What the shrunk picture does not reach keeps the picture before.
    assert np.array_equal(s.grid[200:, :], rgb[220:276, 264:520])


def test_any_row_layout_gives_the_same_picture():
    rgb = busy_pixels(400, 300)
    plain = tessavorin.Session(workers=1)
    plain.load_array(rgb, placement="fit")
    flipped_source = np.ascontiguousarray(rgb[::-1])
    for other in (np.asfortranarray(rgb), flipped_source[::-1], np.pad(rgb, ((1, 1), (1, 1), (0, 0)))[1:-1, 1:-1]):
        s = tessavorin.Session(workers=1)
        s.load_array(other, placement="fit")
        assert np.array_equal(s.grid, plain.grid)


def test_a_small_picture_lands_on_what_the_grid_held():
    s = tessavorin.Session(workers=1)
    s.load_array(np.zeros((10, 20, 3), np.uint8))
    assert (s.grid[:10, :20] == 0).all() and (s.grid[10:] == 255).all(), "white at first"
    s.load_array(np.full((300, 300, 3), 7, np.uint8))
    s.load_array(np.zeros((10, 20, 3), np.uint8), name="small")
    assert (s.grid[10:] == 7).all()
    assert s.picture == {"path": "small", "width": 20, "height": 10, "placement": "top-left"}


def test_views_are_read_only():
    s = tessavorin.Session(workers=1)
    s.load(sample_paths()[0])
    for view in (s.grid, s.planes):
        assert not view.flags.writeable and not view.flags.owndata
        with pytest.raises(ValueError, match="read-only"):
            view[0, 0] = 1
        with pytest.raises(ValueError):
            view.flags.writeable = True
    assert s.grid.shape == (256, 256, 3) and s.grid.dtype == np.uint8
    assert s.planes.shape == (20, 256, 256) and s.planes.dtype == np.uint8
    assert len(tessavorin.PLANE_NAMES) == 20 and tessavorin.PLANE_NAMES[12] == "aV"


def test_views_follow_the_session_and_keep_it_alive():
    s = tessavorin.Session(workers=1)
    s.load(sample_paths()[1])
    grid, planes = s.grid, s.planes
    first = grid.copy()
    before = planes[3].copy()
    result = s.find_areas()
    assert not np.array_equal(planes[3], before), "the pass wrote the area map into the view"
    s.load(sample_paths()[2])
    assert not np.array_equal(grid, first), "the view shows the new picture"
    # A Result holds copies: the next pass leaves it as it was.
    labels = result.labels.copy()
    s.find_areas(threshold=30)
    assert np.array_equal(result.labels, labels)

    gone = weakref.ref(s)
    kept = grid.copy()
    del s
    gc.collect()
    assert gone() is not None, "the view keeps its session"
    assert np.array_equal(grid, kept) and planes.sum() > 0
    del grid, planes
    gc.collect()
    assert gone() is None, "and lets it go with the last view"


def test_every_name_of_the_module_says_what_it_does():
    names = ["Session", "Result", "PictureError", "ExportError", "BusyError"]
    methods = ["load", "load_array", "find_areas", "scan", "export", "grid", "planes",
               "picture", "workers"]
    for name in names:
        assert getattr(tessavorin, name).__doc__, name
    for name in methods:
        assert len(getattr(tessavorin.Session, name).__doc__) > 20, name
    assert "find_areas" in tessavorin.__doc__
    assert "read-only" in tessavorin.Session.grid.__doc__
