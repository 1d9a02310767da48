#!/usr/bin/env python3
"""The page in headless Chromium, played as a user plays it: the sessions' table by Enter and by
a click, every way text arrives, hostile pastes, the check as the focus leaves the entry, the
boxes, F1, the minimized title, Exit, the window at a phone's width and at 200 % zoom, axe-core's
WCAG rules, no request from disk, and offline use once served.

    page_test.py kestrand.html session_table.js kestrand-site.zip
"""

import functools
import http.server
import json
import pathlib
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import zipfile

from chromium import Browser

PAGE, TABLE, SITE = sys.argv.pop(1), sys.argv.pop(1), sys.argv.pop(1)
T = json.loads(subprocess.run(['node', TABLE], capture_output=True, check=True, timeout=30).stdout)
S = T['slots']
ENTRY, NOTES, CALCULATE, EXIT = ('#kd%d' % S[k] for k in ('entry', 'notes', 'calculate', 'exit'))
RESET = ['0'] * 4
TWO_HUNDRED = next(r for r in T['sessions'] if r['entry'] == '0200')
CTRL = 2


# A caption is cut where the ink of the first or last letter of a line lies past its control's
# edge or under another control by more than a quarter of a pixel. Ink, not the letter's box: a
# colon's box may reach under the next control by a pixel, as on the desktop, its ink clear.
CUT = """((c) => {
    const text = c.firstChild, box = c.getBoundingClientRect(), letter = document.createRange();
    const pen = document.createElement('canvas').getContext('2d');
    const style = getComputedStyle(c);  // measured a hundredfold: a canvas rounds ink to pixels
    pen.font = style.fontWeight + ' ' + 100 * parseFloat(style.fontSize) + 'px ' + style.fontFamily;
    // Siblings drawn over it, by CSS's order (hit testing rounds to whole pixels).
    const all = [...kd.win.children], layer = (e) => parseInt(getComputedStyle(e).zIndex) || 0;
    const above = all.filter((o) => layer(o) > layer(c) || (layer(o) === layer(c) && all.indexOf(o) > all.indexOf(c)));
    const ends = [], sliver = 0.25 * kd.win.getBoundingClientRect().width / kd.size[0];
    for (let i = 0; text && i < text.length; ++i) {
        if (/\\s/.test(text.data[i])) continue;
        letter.setStart(text, i);
        letter.setEnd(text, i + 1);
        const at = letter.getBoundingClientRect(), last = ends[ends.length - 1];
        if (last && Math.abs(last.at.top - at.top) < at.height / 2) {
            if (last.first) ends.push({at, i}); else ends[ends.length - 1] = {at, i};
        } else {
            ends.push({at, i, first: true});
        }
    }
    return ends.some(({at, i}) => {
        const m = pen.measureText(text.data[i]), scale = at.width / m.width, y = (at.top + at.bottom) / 2;
        const left = at.left - m.actualBoundingBoxLeft * scale, right = at.left + m.actualBoundingBoxRight * scale;
        return left < box.left || right > box.right || at.bottom > box.bottom + 1 ||
            [left + sliver, right - sliver].some((x) => above.some((o) => {
                const r = o.getBoundingClientRect();
                return x > r.left && x < r.right && y > r.top && y < r.bottom;
            }));
    });
})"""


def lines(box):
    return {'title': box['title'], 'lines': box['text'].split('\r\n'), 'focus': 'BUTTON'}


class Page(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.browser = Browser()
        cls.page = cls.browser.page(pathlib.Path(PAGE).resolve().as_uri())

    @classmethod
    def tearDownClass(cls):
        cls.browser.close()

    def setUp(self):
        self.page.load()

    def state(self):
        return self.page.state(S['bands'])

    def box_up(self):
        self.page.wait_for("!!document.querySelector('dialog[open]')")
        return self.state()

    def close_box(self, key=('Enter', 13, '\r')):
        self.page.key(key[0], vk=key[1], text=key[2])
        self.page.wait_for("!document.querySelector('dialog[open]')")
        self.page.settle()

    def test_sessions_by_enter_and_by_click(self):
        for row in T['sessions']:
            for way in ('Enter', 'click'):
                with self.subTest(row['name'], way=way):
                    self.page.load()
                    self.page.paste(row['entry'])
                    self.page.enter() if way == 'Enter' else self.page.click(CALCULATE)
                    if 'box' in row:
                        # The refused total stays while its box is up; the reset comes after OK.
                        up = self.box_up()
                        self.assertEqual(up['box'], lines(row['box']))
                        self.assertEqual(up['entry'], row['entry'])
                        self.close_box()
                        after = self.state()
                        self.assertEqual((after['entry'], after['bands'], after['focus'], after['live']),
                                         ('0', RESET, ENTRY[1:], ''))
                        continue
                    self.page.wait_for("kd.live.textContent !== '' && document.activeElement.id === %s"
                                       % json.dumps(EXIT[1:]))
                    shown = self.state()
                    self.assertEqual((shown['entry'], shown['bands'], shown['live'], shown['box']),
                                     (row['entry'], row['bands'], row['spoken'], None))

    def test_minimized_title_has_the_thresholds(self):
        row = TWO_HUNDRED
        self.page.type('200')
        self.page.enter()
        self.wait_for_exit()
        self.page.window_state('minimized')
        self.page.wait_for('document.title === %s' % json.dumps(row['minimized']))
        self.page.window_state('normal')
        self.page.wait_for('document.title === %s' % json.dumps(T['title']))

    def test_every_way_text_arrives_passes_the_keystroke_filter(self):
        p = self.page
        ways = [  # name, what the user does, the entry after it (from "0"), Input Error boxes
            ('digit key', lambda: p.type('2'), '02', 0),
            ('letter key', lambda: p.type('a'), '0', 1),
            ('Arabic-Indic digit key', lambda: p.key('5', code='Digit5', text='\u0665'), '0', 1),
            ('Ctrl+V', lambda: p.key('v', code='KeyV', vk=86, modifiers=CTRL), '0', 1),
            ('Esc', lambda: p.key('Escape', vk=27), '0', 1),
            ('Backspace', lambda: p.key('Backspace', vk=8), '', 0),
            ('on-screen keyboard', lambda: p.send('Input.insertText', text='7x8'), '078', 1),
            ('input method', lambda: (p.send('Input.imeSetComposition', text='1a', selectionStart=2,
                                             selectionEnd=2), p.send('Input.insertText', text='1a')), '01', 1),
            ('drop', lambda: p.drop(ENTRY, '9z'), '90', 1),  # at the drop point
        ]
        for name, action, added, boxes in ways:
            with self.subTest(name):
                p.load()
                action()
                for _ in range(boxes):
                    self.assertEqual(self.box_up()['box'], lines(T['inputError']))
                    self.close_box()
                p.wait_for('kd.entry.value === %s' % json.dumps(added))
                self.assertIsNone(self.state()['box'])

    def test_the_check_runs_as_the_focus_leaves_for_calculate_or_notes(self):
        p = self.page
        five = next(r for r in T['sessions'] if r['entry'] == '5')['box']
        for name, leave in (('Shift+Tab', lambda: p.tab(shift=True)),
                            ('click on Notes', lambda: p.click(NOTES)),
                            ('click on Calculate', lambda: p.click(CALCULATE))):
            with self.subTest(name):
                p.load()
                p.paste('5')
                leave()
                self.assertEqual(self.box_up()['box'], lines(five))
                self.close_box()
                # Refused: the focus stays in the entry and the click is dropped.
                self.assertEqual((self.state()['focus'], self.state()['box']), (ENTRY[1:], None))
        with self.subTest('Tab to Exit, which takes no part'):
            p.load()
            p.paste('5')
            p.tab()
            self.wait_for_exit()
            self.assertIsNone(self.state()['box'])

    def test_a_box_holds_the_focus_and_closes_by_enter_space_and_esc(self):
        for key in (('Enter', 13, '\r'), (' ', 32, ' '), ('Escape', 27, '')):
            with self.subTest(key[0]):
                self.page.load()
                self.page.key('F1', vk=112)
                self.assertEqual(self.box_up()['box'], lines(T['notes']))
                self.page.tab()
                self.page.click(CALCULATE)
                self.assertEqual(self.state()['box']['focus'], 'BUTTON')
                self.close_box(key)
                self.assertEqual(self.state()['bands'], RESET)

    def test_exit_ends_kestrand_without_the_check(self):
        self.page.paste('5')
        self.page.click(EXIT)
        self.page.wait_for('document.body.innerText.includes(%s) && document.activeElement.textContent'
                           ' === %s' % (json.dumps(T['ended']), json.dumps(T['startAgain'])))
        self.assertFalse(self.page.js("!!document.querySelector('dialog, #kd-window')"))

    def test_the_whole_window_fits_with_no_caption_cut(self):
        for name, width, height, scale in (('desktop', 1280, 800, 1), ('360 px phone', 360, 640, 1),
                                           ('200 % zoom', 400, 300, 2)):
            with self.subTest(name):
                self.page.send('Emulation.setDeviceMetricsOverride', width=width, height=height,
                               deviceScaleFactor=scale, mobile=False)
                self.page.load()
                fits = self.page.js("""(() => {
                    const r = kd.win.getBoundingClientRect(), page = document.scrollingElement;
                    return {sideways: page.scrollWidth > innerWidth,
                            inView: r.right <= innerWidth && r.bottom <= innerHeight,
                            cut: [...kd.win.children].filter(c => c !== kd.entry && %s(c)).map(c => c.id)};
                })()""" % CUT)
                self.assertEqual(fits, {'sideways': False, 'inView': True, 'cut': []})
        self.page.send('Emulation.clearDeviceMetricsOverride')

    def test_hostile_pastes_are_answered_with_nothing_lost(self):
        # Times are printed, not judged: the bar of a second is the bench's to measure.
        for name, text in (('a megabyte', '7' * (1 << 20)), ('lone surrogate', '\ud80012'),
                           ('right-to-left marks', '\u200f12\u200f'), ('emoji', '12\U0001F600'),
                           ('Arabic-Indic digits', '\u0661\u0662')):
            with self.subTest(name):
                self.page.load()
                self.page.paste(text)
                length = self.page.js('kd.entry.value.length')
                # Timed from Enter once the pasted text is on screen, as a player sees it.
                self.page.js('new Promise(r => requestAnimationFrame(() => setTimeout(() => r(1))))')
                start = time.monotonic()
                self.page.enter()
                self.page.wait_for("!!document.querySelector('dialog[open]') || kd.live.textContent !== ''")
                print('%s answered in %.0f ms' % (name, 1000 * (time.monotonic() - start)), file=sys.stderr)
                self.assertEqual(self.page.js('kd.entry.value.length'), length)

    def test_axe_finds_no_wcag_a_or_aa_violation(self):
        p = self.page
        axe = (pathlib.Path(__file__).parent / 'node_modules/axe-core/axe.min.js').read_text()
        forced = [{'name': 'forced-colors', 'value': 'active'}]
        for name, media, reach in (
                ('start', [], lambda: None),
                ('after a calculation', [], lambda: (p.type('200'), p.enter(), self.wait_for_exit())),
                ('information box', [], lambda: (p.key('F1', vk=112), self.box_up())),
                ('exclamation box', [], lambda: (p.enter(), self.box_up())),
                ('forced colours, and so no picture', forced,
                 lambda: self.assertEqual(p.js('kd.win.style.backgroundImage'), 'none'))):
            with self.subTest(name):
                p.send('Emulation.setEmulatedMedia', features=media)
                p.load()
                reach()
                p.js(axe)
                found = p.js("axe.run({runOnly: {type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a',"
                             " 'wcag21aa', 'wcag22aa']}}).then(r => r.violations.map(v => v.id + ': '"
                             " + v.nodes.map(n => n.target.join(' ')).join(', ')))")
                self.assertEqual(found, [])
        p.send('Emulation.setEmulatedMedia', features=[])

    def test_from_disk_it_asks_the_network_for_nothing(self):
        self.page.send('Network.enable')
        first = len(self.browser.events)
        self.page.load()
        self.page.send('Network.disable')
        asked = [e['params']['request']['url'][:40] for e in self.browser.events[first:]
                 if e['method'] == 'Network.requestWillBeSent']
        self.assertIn(self.page.url[:40], asked)
        self.assertEqual([u for u in asked if not u.startswith(('file:', 'data:', 'blob:'))], [])

    def test_served_it_works_offline_after_the_first_visit(self):
        class Quiet(http.server.SimpleHTTPRequestHandler):
            def log_message(self, *args):
                pass

        site = tempfile.TemporaryDirectory()
        zipfile.ZipFile(SITE).extractall(site.name)
        server = http.server.ThreadingHTTPServer(('127.0.0.1', 0),
                                                 functools.partial(Quiet, directory=site.name))
        threading.Thread(target=server.serve_forever, daemon=True).start()
        on_disk, self.page.url = self.page.url, 'http://127.0.0.1:%d/' % server.server_port
        try:
            self.page.load()
            self.page.wait_for('!!navigator.serviceWorker.controller')
            server.shutdown()
            server.server_close()
            self.page.load()  # nothing answers on that port now
            self.page.type('200')
            self.page.enter()
            self.wait_for_exit()
            self.assertEqual(self.state()['bands'], TWO_HUNDRED['bands'])
        finally:
            self.page.url = on_disk
            site.cleanup()

    def wait_for_exit(self):
        self.page.wait_for('document.activeElement.id === %s' % json.dumps(EXIT[1:]))
        self.page.settle()


if __name__ == '__main__':
    unittest.main(verbosity=2)
