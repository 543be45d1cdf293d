"""The sweep from Python: the batch's sweep.csv as numpy columns, with the
session left as it was."""

import csv
import pathlib
import subprocess

import numpy as np
import pytest

import tessavorin
from conftest import BATCH, same_result, sample_paths

COLUMNS = ["threshold", "areas", "raised_level", "rejected_last", "score", "area_pixels"]


@pytest.mark.parametrize("options, step", [
    ([], lambda s: s.find_areas()),
    (["--plane", "aV", "--threshold", "90"], lambda s: s.find_areas(threshold=90, plane="aV")),
    (["--scan"], lambda s: s.scan()),
], ids=["automatic", "plane", "scan"])
def test_sweep_equals_the_batchs_sweep_csv(tmp_path, options, step):
    paths = sample_paths()[:3]
    subprocess.run([BATCH, "-q", "-j", "1", "--sweep", *options, *paths, "-o", str(tmp_path)],
                   check=True)
    for path in paths:
        s = tessavorin.Session(workers=2)
        s.load(path)
        before = step(s)
        sweep = s.sweep()
        with open(tmp_path / pathlib.Path(path).name / "sweep.csv", newline="") as f:
            rows = list(csv.reader(f))
        assert list(sweep) == rows[0] == COLUMNS
        for c, name in enumerate(COLUMNS):
            column = sweep[name]
            assert column.shape == (256,)
            text = [row[c] for row in rows[1:]]
            if name == "score":
                assert column.tolist() == [float(t) for t in text], path
            else:
                assert column.tolist() == [int(t) for t in text], (path, name)
        # The sweep changed nothing: the next step gives what it gives in a
        # session that never swept.
        plain = tessavorin.Session(workers=2)
        plain.load(path)
        assert same_result(step(plain), before)
        assert same_result(step(s), step(plain))


def test_a_sweep_needs_an_analysis_first():
    s = tessavorin.Session(workers=1)
    s.load(sample_paths()[0])
    with pytest.raises(RuntimeError, match=r"call find_areas\(\) or scan\(\)"):
        s.sweep()
    s.find_areas(threshold=40)
    assert np.array_equal(s.sweep()["threshold"], np.arange(256))
