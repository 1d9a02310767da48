#!/usr/bin/env python3
"""Writes the zip for a web server of one's own: the page as index.html, a web app manifest,
the icons and a service worker that keeps them all for offline use.

    site_zip.py PAGE.html APP_NAME SITE_DIR ICON.png... OUT.zip

Every entry has a fixed time and mode and they stand in a fixed order, so the same inputs give
the same bytes.
"""

import hashlib
import json
import os
import re
import sys
import zipfile


def main():
    page, name, site, *icons, out = sys.argv[1:]
    files = {'index.html': open(page, 'rb').read()}
    for icon in icons:
        size = re.search(r'(\d+)\.png$', icon).group(1)
        files['icons/kestrand-%s.png' % size] = open(icon, 'rb').read()
    manifest = open(os.path.join(site, 'manifest.webmanifest')).read()
    listed = [{'src': path, 'sizes': '%sx%s' % ((path[15:-4],) * 2), 'type': 'image/png'}
              for path in sorted(files) if path.startswith('icons/')]
    manifest = manifest.replace('@KESTRAND_APP_NAME@', name).replace('@ICONS@', json.dumps(listed))
    files['manifest.webmanifest'] = manifest.encode()
    digest = hashlib.sha256(b''.join(files[k] for k in sorted(files))).hexdigest()[:16]
    worker = open(os.path.join(site, 'sw.js')).read()
    worker = worker.replace('@DIGEST@', digest).replace(
        '@FILES@', ', '.join(json.dumps(k) for k in sorted(files)))
    files['sw.js'] = worker.encode()
    with zipfile.ZipFile(out + '.part', 'w', zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        for path in sorted(files):
            entry = zipfile.ZipInfo(path, date_time=(1980, 1, 1, 0, 0, 0))
            entry.external_attr = 0o644 << 16
            entry.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(entry, files[path])
    os.replace(out + '.part', out)


if __name__ == '__main__':
    main()
