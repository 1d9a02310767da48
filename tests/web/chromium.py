"""Headless Chromium driven over the DevTools protocol through a pipe: no port, no
websocket, nothing but the standard library. Every wait is bounded by the clock."""

import json
import os
import subprocess
import tempfile
import threading
import time


class Timeout(AssertionError):
    pass


class Browser:
    def __init__(self, width=800, height=600, args=()):
        self.profile = tempfile.TemporaryDirectory(prefix='kd-chromium-', ignore_cleanup_errors=True)
        to_browser, self._out = os.pipe()
        self._in, from_browser = os.pipe()

        def pipes():  # the browser reads fd 3 and writes fd 4
            high = os.dup(to_browser), os.dup(from_browser)
            os.dup2(high[0], 3)
            os.dup2(high[1], 4)

        self.process = subprocess.Popen(
            ['chromium', '--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
             '--disable-background-networking', '--disable-component-update', '--disable-sync',
             '--remote-debugging-pipe', '--user-data-dir=' + self.profile.name,
             '--window-size=%d,%d' % (width, height), *args, 'about:blank'],
            preexec_fn=pipes, close_fds=False, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(to_browser)
        os.close(from_browser)
        self._next = 0
        self._replies = {}
        self.events = []
        self._lock = threading.Condition()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        buffer = b''
        with os.fdopen(self._in, 'rb', buffering=0) as pipe:
            while chunk := pipe.read(1 << 16):
                buffer += chunk
                *messages, buffer = buffer.split(b'\0')
                with self._lock:
                    for raw in messages:
                        message = json.loads(raw)
                        if 'id' in message:
                            self._replies[message['id']] = message
                        else:
                            self.events.append(message)
                    self._lock.notify_all()

    def send(self, method, session=None, seconds=10, **params):
        with self._lock:
            self._next += 1
            ident = self._next
        message = {'id': ident, 'method': method, 'params': params}
        if session:
            message['sessionId'] = session
        os.write(self._out, json.dumps(message).encode() + b'\0')
        deadline = time.monotonic() + seconds
        with self._lock:
            while ident not in self._replies:
                if not self._lock.wait(deadline - time.monotonic()) and time.monotonic() > deadline:
                    raise Timeout(method + ' had no answer in %g s' % seconds)
            reply = self._replies.pop(ident)
        if 'error' in reply:
            raise AssertionError('%s: %s' % (method, reply['error']))
        return reply['result']

    def page(self, url):
        # The tab the browser opened. The list also holds hidden pages of the browser's own (its
        # omnibox's popup), first in some builds: hidden, a page gets no keys, no focus and no
        # window, and may not write the clipboard.
        tabs = [t['targetId'] for t in self.send('Target.getTargets')['targetInfos']
                if t['type'] == 'page']
        assert len(tabs) == 1, 'the browser opened %d tabs' % len(tabs)
        target = tabs[0]
        session = self.send('Target.attachToTarget', targetId=target, flatten=True)['sessionId']
        return Page(self, session, target, url)

    def close(self):
        self.process.kill()
        self.process.wait()
        self.profile.cleanup()


class Page:
    def __init__(self, browser, session, target, url):
        self.browser, self.session, self.target, self.url = browser, session, target, url
        self.send('Page.enable')
        self.send('Runtime.enable')
        self.load()

    def send(self, method, **params):
        return self.browser.send(method, session=self.session, **params)

    def load(self):
        self.send('Page.navigate', url=self.url)
        self.wait_for("document.visibilityState === 'visible' && document.activeElement &&"
                      " document.activeElement.id === 'kd0'")

    def js(self, expression):
        result = self.send('Runtime.evaluate', expression=expression, returnByValue=True,
                           awaitPromise=True)
        if 'exceptionDetails' in result:
            raise AssertionError('%.200s: %s' % (expression, result['exceptionDetails']['exception']
                                                 .get('description')))
        return result['result'].get('value')

    def wait_for(self, expression, seconds=5):
        deadline = time.monotonic() + seconds
        while True:
            value = self.js(expression)
            if value:
                return value
            if time.monotonic() > deadline:
                raise Timeout('not within %g s: %.200s' % (seconds, expression))
            time.sleep(0.01)

    def settle(self):
        """Until what the page has reported to the form has run, boxes closed."""
        self.js('kd.queue.then(() => true)')

    # What the user does.
    def key(self, key, code=None, vk=0, text='', modifiers=0):
        base = {'key': key, 'code': code or key, 'windowsVirtualKeyCode': vk,
                'modifiers': modifiers}
        self.send('Input.dispatchKeyEvent', type='keyDown' if text else 'rawKeyDown', text=text,
                  **base)
        self.send('Input.dispatchKeyEvent', type='keyUp', **base)

    def type(self, text):
        for c in text:
            self.key(c, vk=ord(c.upper()) if c.isalnum() and c.isascii() else 0, text=c)

    def enter(self):
        self.key('Enter', vk=13, text='\r')

    def tab(self, shift=False):
        self.key('Tab', vk=9, modifiers=8 if shift else 0)

    def click(self, selector):
        x, y = self.centre(selector)
        for kind in ('mousePressed', 'mouseReleased'):
            self.send('Input.dispatchMouseEvent', type=kind, x=x, y=y, button='left', clickCount=1)

    def paste(self, text):
        """Through the real clipboard, over the whole entry, as Shift+Insert does."""
        self.send('Browser.grantPermissions', permissions=['clipboardReadWrite',
                                                           'clipboardSanitizedWrite'])
        self.js('navigator.clipboard.writeText(%s)' % json.dumps(text))
        self.send('Input.dispatchKeyEvent', type='rawKeyDown', key='Insert', code='Insert',
                  windowsVirtualKeyCode=45, modifiers=8, commands=['selectAll', 'paste'])
        # By its length: a lone surrogate may come back from the clipboard as U+FFFD.
        self.wait_for('document.activeElement.value.length === %d'
                      % (len(text.encode('utf-16-le', 'surrogatepass')) // 2))

    def window_state(self, state):
        window = self.browser.send('Browser.getWindowForTarget', targetId=self.target)['windowId']
        self.browser.send('Browser.setWindowBounds', windowId=window,
                          bounds={'windowState': state})

    # What the page shows.
    def centre(self, selector):
        return self.js("(() => { const r = document.querySelector(%s).getBoundingClientRect();"
                       " return [r.x + r.width / 2, r.y + r.height / 2]; })()" % json.dumps(selector))

    def drop(self, selector, text):
        x, y = self.centre(selector)
        data = {'items': [{'mimeType': 'text/plain', 'data': text}], 'dragOperationsMask': 1}
        for kind in ('dragEnter', 'dragOver', 'drop'):
            self.send('Input.dispatchDragEvent', type=kind, x=x, y=y, data=data)

    def state(self, bands):
        return self.js("""(() => {
            const box = document.querySelector('dialog[open]');
            return {entry: kd.entry.value, bands: %s.map(i => kd.els[i].textContent),
                    focus: document.activeElement.id || document.activeElement.tagName,
                    title: document.title, live: kd.live.textContent,
                    box: box && {title: box.querySelector('h1').textContent,
                                 lines: [...box.querySelectorAll('p')].map(p => p.textContent),
                                 focus: document.activeElement.tagName}};
        })()""" % json.dumps(bands))
