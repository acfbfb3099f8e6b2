# -*- coding: utf-8 -*-
# The layout and plan documents of volkit as the layout module reads and
# writes them.
#
# Copyright: volkit maintainers <maintainers@volkit.org>
# GNU General Public License v2.0 or later (see https://www.gnu.org/licenses/gpl-2.0.txt)
# SPDX-License-Identifier: GPL-2.0-or-later

from __future__ import absolute_import, division, print_function

__metaclass__ = type

import copy
import json
import os
import tempfile

from ansible.module_utils.six import integer_types, string_types
from ansible_collections.volkit.raid.plugins.module_utils.volkit_command import (
    parse_document, run_volkit)

try:
    import yaml
    HAS_YAML = True
except ImportError:
    HAS_YAML = False

LAYOUT_VERSION = [1, 0]

# YAML 1.1 reads an unquoted 1:2 as 62 (base 60); every such reading is 60
# or more, and a target ID that high is written as a string instead.
SEXAGESIMAL_FLOOR = 60


def _disk_problem(value, where):
    if isinstance(value, bool):
        return '%s: %r is not a drive specifier' % (where, value)
    if isinstance(value, integer_types) and value >= SEXAGESIMAL_FLOOR:
        return ('%s: the number %d is refused as a disk: YAML reads an unquoted Encl:Bay such as '
                '1:2 as a number (62); quote drive specifiers ("1:2"), and write a target ID '
                'of 60 or more as a string ("%d")' % (where, value, value))
    if isinstance(value, dict):
        problem = _disk_problem(value.get('disk'), where + '.disk') if 'disk' in value else None
        serial = value.get('serial')
        if problem is None and 'serial' in value and not isinstance(serial, string_types):
            problem = ('%s.serial: %r is not a string; quote the serial number, or YAML may '
                       'read it as a number' % (where, serial))
        return problem
    return None


def check_disk_words(controllers):
    """The places where YAML may have turned a drive specifier or a serial
    number into something else; volkit reads the rest of the document
    strictly itself."""
    problems = []
    for ci, controller in enumerate(controllers):
        for vi, volume in enumerate(controller.get('volumes') or []):
            for di, disk in enumerate(volume.get('disks') or []):
                problems.append(_disk_problem(
                    disk, 'controllers[%d].volumes[%d].disks[%d]' % (ci, vi, di)))
        for hi, spare in enumerate(controller.get('hot_spares') or []):
            problems.append(_disk_problem(spare, 'controllers[%d].hot_spares[%d]' % (ci, hi)))
    return [p for p in problems if p]


def _without_unset(value):
    if isinstance(value, dict):
        return dict((k, _without_unset(v)) for k, v in value.items() if v is not None)
    if isinstance(value, list):
        return [_without_unset(v) for v in value]
    return value


def layout_document(controllers):
    """The layout document of the module's parameters; options left out stay
    out, so volkit applies its own defaults."""
    return {'volkit_layout_version': LAYOUT_VERSION, 'controllers': _without_unset(controllers)}


def write_private_file(directory, document):
    """Writes the document to a new file only this user can read; returns its path."""
    fd, path = tempfile.mkstemp(prefix='volkit-layout-', suffix='.json', dir=directory)
    with os.fdopen(fd, 'w') as f:
        json.dump(document, f, indent=1)
        f.write('\n')
    return path


def read_layout(module, numbers):
    """The current layout of the controllers numbered, from `volkit N
    layout`, one controller at a time so that another controller of the
    host cannot stand in the way. A controller that is not there is left
    out: the plan then says so."""
    controllers = []
    for number in sorted(set(numbers)):
        rc, out, err = run_volkit(module, [str(number), 'layout'])
        if rc == 2:
            continue
        if rc != 0:
            module.fail_json(msg='volkit %d layout failed (exit status %d): %s'
                             % (number, rc, err.strip()), rc=rc, stdout=out, stderr=err)
        document = parse_document(module, '%d layout' % number, rc, out, err,
                                  'volkit_layout_version')
        controllers.extend(document.get('controllers', []))
    return controllers


def layout_text(controllers):
    """Text for a diff: the controllers' list as YAML a task could take."""
    data = {'controllers': controllers}
    if HAS_YAML:
        return yaml.safe_dump(data, default_flow_style=False, sort_keys=False)
    return json.dumps(data, indent=2) + '\n'


def plan_document(out):
    """The plan document volkit printed, or None when there is none."""
    try:
        document = json.loads(out)
    except ValueError:
        return None
    return document if isinstance(document, dict) else None


def plan_problems(document):
    """What a plan document says stands in the way: its refusals and messages."""
    problems = []
    for controller in document.get('controllers', []):
        for refusal in controller.get('refusals', []):
            problems.append('controller %s: %s' % (controller.get('controller'), refusal))
    for message in document.get('messages', []):
        if isinstance(message, dict) and message.get('text'):
            problems.append(message['text'])
    return problems


def plan_of(module, rc, out, err):
    """The actions and drift of `volkit all plan FILE json`, each tagged
    with its controller. Fails the task when the plan and the exit status
    disagree, since then neither can be trusted."""
    document = parse_document(module, 'all plan', rc, out, err, 'volkit_plan_version')
    actions, drift = [], []
    for controller in document.get('controllers', []):
        number = controller.get('controller')
        for action in controller.get('actions', []):
            actions.append(dict(action, controller=number))
        for item in controller.get('drift', []):
            drift.append(dict(item, controller=number) if isinstance(item, dict)
                         else dict(controller=number, text=item))
    if bool(actions) != (rc == 4):
        module.fail_json(msg='volkit all plan exited %d with %d actions' % (rc, len(actions)),
                         rc=rc, stdout=out, stderr=err)
    return actions, drift


def _place(disk):
    """The place of a disk of a layout ("1:2", {"disk": "1:2", ...}) or of a
    plan action ({"place": "1:2", ...})."""
    if isinstance(disk, dict):
        return str(disk.get('disk', disk.get('place')))
    return str(disk)


def _pinned(disk):
    """A disk of a plan action as the layout document writes it."""
    if disk.get('serial'):
        return {'disk': disk['place'], 'serial': disk['serial']}
    return disk['place']


def predicted_layout(before, actions):
    """The layout the actions would leave, for check mode's diff: the layout
    before with each action applied to the document."""
    after = copy.deepcopy(before)
    by_number = dict((c['controller'], c) for c in after)
    for action in actions:
        number = action.get('controller')
        controller = by_number.get(number)
        if controller is None:
            controller = {'controller': number, 'volumes': [], 'hot_spares': [], 'prune': False}
            by_number[number] = controller
            after.append(controller)
        kind = action.get('action')
        volumes = controller.setdefault('volumes', [])
        spares = controller.setdefault('hot_spares', [])
        if kind == 'remove_hot_spare':
            spares[:] = [s for s in spares if _place(s) != _place(action['disk'])]
        elif kind == 'delete_volume':
            gone = set(_place(d) for d in action['disks'])
            volumes[:] = [v for v in volumes
                          if not gone.intersection(_place(d) for d in v.get('disks', []))]
        elif kind == 'create_volume':
            volumes.append({'type': action['volume_type'],
                            'disks': [_pinned(d) for d in action['disks']],
                            'size_mb': action.get('size_mb', 'max'),
                            'qsync': action.get('qsync', False)})
        elif kind == 'add_hot_spare':
            spares.append(_pinned(action['disk']))
    return after
