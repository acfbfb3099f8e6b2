# -*- coding: utf-8 -*-
# Running the volkit command and reading the JSON documents it prints; the
# modules of this collection never read volkit's text meant for people.
#
# Copyright: volkit maintainers <maintainers@volkit.org>
# GNU General Public License v2.0 or later (see https://www.gnu.org/licenses/gpl-2.0.txt)
# SPDX-License-Identifier: GPL-2.0-or-later

from __future__ import absolute_import, division, print_function

__metaclass__ = type

import json
import os

DEFAULT_VOLKIT_PATH = '/usr/sbin/volkit'


def volkit_path_option():
    return dict(type='path', default=DEFAULT_VOLKIT_PATH)


def run_volkit(module, args):
    """Runs volkit with `args`; fails the task when it cannot be run at all.

    Returns (exit status, standard output, standard error)."""
    path = module.params['volkit_path']
    if not os.path.isfile(path) or not os.access(path, os.X_OK):
        module.fail_json(msg='volkit cannot be run: %s is not an executable file' % path)
    # No shell: the layout file's name reaches volkit as one word.
    return module.run_command([path] + list(args), check_rc=False)


def volkit_messages(document):
    """The texts of the messages a volkit JSON document carries."""
    volkit = document.get('volkit') if isinstance(document, dict) else None
    messages = volkit.get('messages') if isinstance(volkit, dict) else None
    if not isinstance(messages, list):
        return []
    return [m.get('text') for m in messages if isinstance(m, dict) and m.get('text')]


def parse_document(module, command, rc, out, err, version_key):
    """The JSON document volkit printed, or a failed task that says why.

    A document of another major format version is refused rather than
    misread."""
    try:
        document = json.loads(out)
    except ValueError as e:
        module.fail_json(msg='volkit %s printed no JSON document (exit status %d): %s'
                         % (command, rc, e), rc=rc, stdout=out, stderr=err)
    version = document.get(version_key) if isinstance(document, dict) else None
    if not isinstance(version, list) or not version or version[0] != 1:
        module.fail_json(msg='volkit %s printed a document of an unknown format (%s: %r); '
                         'this module reads format 1' % (command, version_key, version),
                         rc=rc, stdout=out, stderr=err)
    return document
