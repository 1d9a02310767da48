#!/usr/bin/env python3
"""Times the page against the same window written plainly as a static page, both opened from
disk in headless Chromium: from the start of navigation until the entry has the focus.
Interleaved runs; prints the medians and their ratio. It reports; it fails on nothing.

    page_bench.py kestrand.html plain.html [RUNS]
"""

import pathlib
import statistics
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / 'tests' / 'web'))
from chromium import Browser  # noqa: E402

FIRST_FOCUS = """addEventListener('focusin', (e) => {
  if (e.target.tagName === 'INPUT' && !window.focusAt) window.focusAt = performance.now();
}, true);"""


def main():
    pages = [pathlib.Path(p).resolve().as_uri() for p in sys.argv[1:3]]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 31
    browser = Browser()
    try:
        page = browser.page(pages[0])
        page.send('Page.addScriptToEvaluateOnNewDocument', source=FIRST_FOCUS)
        # Focused as a window in front is: a page without focus gets no focus events.
        page.send('Emulation.setFocusEmulationEnabled', enabled=True)
        times = {url: [] for url in pages}
        for run in range(runs + 1):
            for url in pages if run % 2 else pages[::-1]:
                page.send('Page.navigate', url='about:blank')
                page.send('Page.navigate', url=url)
                at = page.wait_for('window.focusAt', seconds=10)
                if run:  # the first round only warms the browser up
                    times[url].append(at)
    finally:
        browser.close()
    page_ms, plain_ms = (statistics.median(times[url]) for url in pages)
    print('| page | to the entry\'s focus, ms (median of %d) | range |' % runs)
    print('|---|---:|---|')
    for name, url in (('Kestrand page', pages[0]), ('same window written plainly', pages[1])):
        print('| %s | %.1f | %.1f–%.1f |' % (name, statistics.median(times[url]), min(times[url]),
                                           max(times[url])))
    print('ratio: %.2f (the bar: 1.10)' % (page_ms / plain_ms))


if __name__ == '__main__':
    main()
