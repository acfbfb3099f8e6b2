# -*- coding: utf-8 -*-
# No "#!" line: Ansible runs the module with the interpreter the host is
# given, and the package ships it as a file Ansible reads, not a program.
# Copyright: volkit maintainers <maintainers@volkit.org>
# GNU General Public License v2.0 or later (see https://www.gnu.org/licenses/gpl-2.0.txt)
# SPDX-License-Identifier: GPL-2.0-or-later

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r'''
---
module: layout
short_description: Converge RAID controllers to a declared layout with volkit
version_added: "5.1.3"
description:
  - Gives the host's RAID controllers the volumes and hot spares a layout
    declares, through volkit's C(plan) and C(apply) commands. The layout is
    the C(controllers) list of volkit's layout document (format 1.0,
    described in volkit(8)), written in YAML.
  - Writes the layout to a private temporary file and runs
    C(volkit all plan FILE json). When the plan has actions, runs
    C(volkit all apply FILE noprompt), which carries them out and confirms
    that the controllers are then in sync. C(changed) is true exactly when
    the plan had actions; a second run of the same task changes nothing.
  - In check mode it stops after the plan, which only reads.
  - A volume that exists is never changed; a difference in its members or
    size is reported as C(drift), not acted on.
  - Deleting a volume destroys its data. A plan that would delete one fails
    before any change unless I(allow_destroy=true).
  - After a disk swap (a failed member replaced by its hot spare, the failed
    disk pulled and a new one put in its place) the same layout makes the
    new disk the hot spare.
author:
  - volkit maintainers (@volkit)
options:
  controllers:
    description:
      - The controllers to converge, each one entry of the layout document.
      - Write drive specifiers as strings. YAML reads an unquoted C(1:2) as
        the number 62 (base 60), so a number of 60 or more is refused as a
        disk; give such a target ID as a string (C("62")).
    type: list
    elements: dict
    required: true
    suboptions:
      controller:
        description: The controller number.
        type: int
        required: true
      volumes:
        description: The volumes the controller should have.
        type: list
        elements: dict
        default: []
        suboptions:
          type:
            description: The volume type, as C(volkit create) takes it
              (C(im) or C(raid1), C(ime) or C(raid1e), C(is) or C(raid0); any case).
            type: str
            required: true
          disks:
            description:
              - The member disks in C(volkit create)'s order, each a drive
                specifier (C(Encl:Bay) on SAS, or a target ID), or a
                dictionary with C(disk) (the specifier) and C(serial), which
                pins the disk to that serial number.
            type: list
            elements: raw
            required: true
          size_mb:
            description: The size in megabytes, or C(max) (volkit's default
              when left out).
            type: raw
          qsync:
            description: Quick sync when the volume is created.
            type: bool
      hot_spares:
        description: The hot spares, drive specifiers or dictionaries as in
          I(disks).
        type: list
        elements: raw
        default: []
      prune:
        description: Remove the volumes and hot spares the controller has and
          this entry does not list. Removing a volume needs I(allow_destroy).
        type: bool
        default: false
  allow_destroy:
    description:
      - Allow a plan that deletes volumes (C(volkit apply ... allowdestroy)).
    type: bool
    default: false
  volkit_path:
    description:
      - Path of the volkit program on the host.
    type: path
    default: /usr/sbin/volkit
notes:
  - Supports check mode and diff mode. The diff shows the layout of the
    controllers named, as C(volkit layout) prints it, before and after; in
    check mode the after is the before with the plan's actions applied.
  - Runs C(volkit all plan) and C(volkit all apply); both take volkit's
    configuration lock, so a concurrent volkit is refused rather than raced.
seealso:
  - module: volkit.raid.facts
'''

EXAMPLES = r'''
- name: A mirror of two disks and a hot spare on controller 0
  volkit.raid.layout:
    controllers:
      - controller: 0
        volumes:
          - type: im
            disks: ["1:2", "1:3"]
        hot_spares: ["1:9"]

- name: The same, pinned to serial numbers, nothing else on the controller
  volkit.raid.layout:
    controllers:
      - controller: 0
        volumes:
          - type: im
            disks:
              - {disk: "1:2", serial: 3LM0A1C3}
              - {disk: "1:3", serial: 3LM0A1C4}
        hot_spares: ["1:9"]
        prune: true
    allow_destroy: true
'''

RETURN = r'''
plan:
  description:
    - The actions of the plan, in the order C(apply) carries them out, each
      as C(volkit plan ... json) gives it (C(action), C(destructive), the
      disks by C(place), C(target) and C(serial), C(text)) plus C(controller).
  returned: always
  type: list
  elements: dict
  sample:
    - controller: 0
      action: add_hot_spare
      destructive: false
      disk: {place: "1:1", target: 1, serial: 3LM0A1F7}
      in_place_of: {place: "1:9", target: 9, serial: 3LM0A1C9}
      volume_id: 0
      text: add hot spare 1:1 (target 1, serial 3LM0A1F7), in place of 1:9, now a member of volume 0
drift:
  description:
    - Differences of existing volumes from the layout that are not acted
      on, each with C(controller) and volkit's C(text).
  returned: always
  type: list
  elements: dict
report:
  description: What C(volkit apply) printed, the actions done.
  returned: when the plan was applied, and when the apply failed
  type: str
remaining:
  description:
    - The actions still pending after a failed apply, from a fresh plan;
      null when no plan could be made.
  returned: when the apply failed
  type: list
  elements: dict
'''

import os

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.volkit.raid.plugins.module_utils.volkit_command import (
    run_volkit, volkit_path_option)
from ansible_collections.volkit.raid.plugins.module_utils.volkit_layout import (
    check_disk_words, layout_document, layout_text, plan_document, plan_of, plan_problems,
    predicted_layout, read_layout, write_private_file)


def fail_unless_planned(module, path, rc, out, err):
    """Fails the task with volkit's reasons when the plan is not one to act on."""
    if rc in (0, 4):
        return
    document = plan_document(out)
    reasons = plan_problems(document) if document else []
    reasons = reasons or [err.strip() or 'exit status %d' % rc]
    # Places in the document are places in the task's own parameters; the
    # temporary file they were read from is gone by the time anyone reads
    # the message.
    reasons = [r.replace('layout %s: ' % path, '') for r in reasons]
    if rc == 2:
        what = 'volkit found no driver or not every controller named'
    else:
        what = 'volkit cannot carry out the layout'
    module.fail_json(msg='%s: %s' % (what, '; '.join(reasons)), rc=rc, stdout=out, stderr=err)


def main():
    module = AnsibleModule(
        argument_spec=dict(
            controllers=dict(type='list', elements='dict', required=True, options=dict(
                controller=dict(type='int', required=True),
                volumes=dict(type='list', elements='dict', default=[], options=dict(
                    type=dict(type='str', required=True),
                    disks=dict(type='list', elements='raw', required=True),
                    size_mb=dict(type='raw'),
                    qsync=dict(type='bool'),
                )),
                hot_spares=dict(type='list', elements='raw', default=[]),
                prune=dict(type='bool', default=False),
            )),
            allow_destroy=dict(type='bool', default=False),
            volkit_path=volkit_path_option(),
        ),
        supports_check_mode=True,
    )
    controllers = module.params['controllers']
    problems = check_disk_words(controllers)
    if problems:
        module.fail_json(msg='; '.join(problems))
    numbers = [c['controller'] for c in controllers]

    path = write_private_file(module.tmpdir, layout_document(controllers))
    try:
        before = read_layout(module, numbers) if module._diff else None
        rc, out, err = run_volkit(module, ['all', 'plan', path, 'json'])
        fail_unless_planned(module, path, rc, out, err)
        actions, drift = plan_of(module, rc, out, err)
        result = dict(changed=bool(actions), plan=actions, drift=drift)

        destructive = [a for a in actions if a.get('destructive')]
        if destructive and not module.params['allow_destroy']:
            result['changed'] = False
            named = '; '.join(a.get('text', a.get('action')) for a in destructive)
            module.fail_json(msg='the plan destroys data (%s); nothing was changed: set '
                             'allow_destroy to carry it out' % named, **result)

        if actions and not module.check_mode:
            words = ['all', 'apply', path, 'noprompt']
            if module.params['allow_destroy']:
                words.append('allowdestroy')
            rc, out, err = run_volkit(module, words)
            if rc != 0:
                fail_after_apply(module, path, actions, drift, rc, out, err)
            result['report'] = out

        if before is not None:
            if not actions:
                after = before
            elif module.check_mode:
                after = predicted_layout(before, actions)
            else:
                after = read_layout(module, numbers)
            result['diff'] = dict(before=layout_text(before), after=layout_text(after))
        module.exit_json(**result)
    finally:
        os.remove(path)


def fail_after_apply(module, path, actions, drift, rc, out, err):
    """Fails the task with volkit's report of what was done, what failed and
    what was not attempted; a fresh plan says whether anything changed."""
    rc_now, out_now, err_now = run_volkit(module, ['all', 'plan', path, 'json'])
    remaining = None
    if rc_now in (0, 4):
        remaining, drift = plan_of(module, rc_now, out_now, err_now)
    module.fail_json(msg='volkit all apply failed (exit status %d):\n%s%s' % (rc, out, err),
                     changed=remaining != actions, plan=actions, drift=drift,
                     remaining=remaining, rc=rc, report=out, stderr=err)


if __name__ == '__main__':
    main()
