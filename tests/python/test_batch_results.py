"""A Session gives what tessavorin-batch gives for every sample: the
figures of analysis.json, the columns of areas.csv, and the same files."""

import pathlib

import numpy as np
import pytest

import tessavorin
from conftest import (MODES, folder_files, read_areas_csv, read_grey_png, read_json,
                      sample_paths)


def analyse(path, mode):
    _, placement, step = MODES[mode]
    session = tessavorin.Session()
    session.load(path, placement=placement)
    return session, step(session)


@pytest.mark.parametrize("mode", MODES)
@pytest.mark.parametrize("path", sample_paths(), ids=lambda p: pathlib.Path(p).name)
def test_result_equals_the_batchs_files(batch_results, mode, path):
    folder = batch_results[mode] / pathlib.Path(path).name
    session, result = analyse(path, mode)
    analysis = read_json(folder / "analysis.json")
    assert result.threshold == analysis["threshold"]
    assert result.raised_level == analysis["raised_level"]
    assert result.rejected_last == analysis["rejected_last"]
    assert result.area_records == analysis["area_records"]
    assert result.plane == analysis["plane"]
    assert result.plane_name == analysis["plane_name"]
    assert result.score == analysis["scan_best_score"]
    assert result.level_scores.tolist() == analysis["level_scores"]
    picture = session.picture
    assert (picture["width"], picture["height"]) == (analysis["width"], analysis["height"])
    assert picture["path"] == analysis["picture"]

    header, rows = read_areas_csv(folder / "areas.csv")
    assert list(result.areas) == header, "the columns of areas.csv, in its order"
    assert len(rows) == analysis["areas"]
    for c, name in enumerate(header):
        column = result.areas[name]
        assert column.shape == (len(rows),)
        text = [row[c] for row in rows]
        if column.dtype.kind == "i":
            assert column.tolist() == [int(t) for t in text], name
        elif name == "radius_sum":
            # Written so that it reads back as the same 32-bit number.
            assert np.array_equal(column.astype(np.float32), np.array(text, dtype=np.float32))
            assert np.array_equal(column, column.astype(np.float32)), "exactly a 32-bit value"
        else:
            # The share inside to three decimals; the picture's coordinates
            # whole or halves, exactly.
            assert np.allclose(column, np.array(text, dtype=np.float64), rtol=0, atol=5e-4), name

    # Every label of the image is a row of the table: the label map's
    # rejected and released fills are 0.
    labels = result.labels
    assert labels.shape == (256, 256) and labels.dtype == np.int32
    present = np.unique(labels[labels > 0])
    assert set(present.tolist()) <= set(result.areas["label"].tolist())
    assert (len(present) > 0) == (len(rows) > 0)

@pytest.mark.parametrize("mode", ["automatic", "scan", "fit"])
def test_export_writes_the_batchs_bytes(batch_results, tmp_path, mode):
    for path in sample_paths()[:3]:
        session, _ = analyse(path, mode)
        target = tmp_path / (pathlib.Path(path).name + "-" + mode)
        session.export(target, planes=True)
        assert folder_files(target) == folder_files(batch_results[mode] / pathlib.Path(path).name)


def test_export_without_planes_and_again_over_its_own_folder(batch_results, tmp_path):
    path = sample_paths()[1]
    session, _ = analyse(path, "threshold")
    target = tmp_path / "out"
    session.export(str(target))
    first = folder_files(target)
    assert sorted(first) == ["analysis.json", "area-map.png", "area-view.png", "areas.csv",
                             "labels.png"]
    expected = folder_files(batch_results["threshold"] / pathlib.Path(path).name)
    assert all(first[name] == expected[name] for name in first)
    session.find_areas(threshold=150)
    session.export(target)  # replaces the module's own earlier export
    second = read_json(target / "analysis.json")
    assert second["threshold"] == 150
    assert sorted(p.name for p in tmp_path.iterdir()) == ["out"], "nothing left beside it"


@pytest.mark.parametrize("mode", ["automatic", "plane", "fit"])
def test_the_planes_view_holds_the_batchs_planes(batch_results, mode):
    path = sample_paths()[3]
    session, _ = analyse(path, mode)
    folder = batch_results[mode] / pathlib.Path(path).name / "planes"
    for p, name in enumerate(tessavorin.PLANE_NAMES):
        exported = read_grey_png(folder / f"{p:02d}-{name}.png")
        assert np.array_equal(session.planes[p], exported), name
