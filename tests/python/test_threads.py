"""Sessions on several threads run side by side and give what they give one
after another; one session shared by two threads refuses the second."""

import threading

import pytest

import tessavorin
from conftest import same_result, sample_paths


def analyse_all(paths, workers):
    """Each picture in a fresh session: its automatic pass and its scan."""
    out = []
    for path in paths:
        s = tessavorin.Session(workers=workers)
        s.load(path, placement="fit")
        out.append((s.find_areas(), s.scan()))
    return out


@pytest.mark.parametrize("workers", [1, 2])
def test_two_sessions_on_two_threads_equal_one_after_another(workers):
    paths = sample_paths()
    alone = analyse_all(paths, workers)
    halves = [paths[0::2], paths[1::2]]
    results = [None, None]

    def run(i):
        results[i] = analyse_all(halves[i], workers)

    threads = [threading.Thread(target=run, args=(i,)) for i in (0, 1)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    together = [None] * len(paths)
    together[0::2], together[1::2] = results
    for (a, b), (c, d), path in zip(alone, together, paths):
        assert same_result(a, c) and same_result(b, d), path


def test_a_session_used_from_two_threads_at_once_raises():
    s = tessavorin.Session(workers=1)
    s.load(sample_paths()[0])
    expected = s.scan()
    running, stop = threading.Event(), threading.Event()
    scans = []

    def scan_until_stopped():
        while not stop.is_set():
            running.set()
            scans.append(s.scan())

    worker = threading.Thread(target=scan_until_stopped)
    worker.start()
    running.wait()
    refused = []
    try:
        # While the worker scans (without the GIL), the session is its own.
        for _ in range(200):
            try:
                s.find_areas(threshold=30)
            except tessavorin.BusyError as e:
                refused.append(str(e))
                break
    finally:
        stop.set()
        worker.join()
    assert refused and "another thread" in refused[0]
    assert isinstance(tessavorin.BusyError("x"), RuntimeError)
    # Nothing was shared: every scan gave what the first gave.
    assert scans and all(same_result(r, expected) for r in scans)
