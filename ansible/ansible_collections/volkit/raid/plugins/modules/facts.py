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
module: facts
short_description: Gather the state of the RAID controllers volkit drives
version_added: "5.1.3"
description:
  - Runs C(volkit all json) on the host and returns its document as the
    fact C(volkit), and its health verdict as the fact C(volkit_health).
  - Only reads; never changes anything (always C(changed=false)).
  - A host without a driver or a controller is normal in a fleet; its
    document has no controllers and its health is C(unknown). The task
    fails there only with I(fail_on_missing=true).
  - When volkit could not read a controller completely, the task warns
    with volkit's messages and still returns the document.
author:
  - volkit maintainers (@volkit)
options:
  volkit_path:
    description:
      - Path of the volkit program on the host.
    type: path
    default: /usr/sbin/volkit
  fail_on_missing:
    description:
      - Fail the task when the host has no driver or no controller
        (volkit's exit status 2).
    type: bool
    default: false
notes:
  - Supports check mode; it does nothing different there, since it only reads.
  - The document's format is described in volkit(8), section JSON OUTPUT.
seealso:
  - module: volkit.raid.layout
'''

EXAMPLES = r'''
- name: Read the RAID controllers
  volkit.raid.facts:

- name: Stop where a volume or a disk has failed
  ansible.builtin.fail:
    msg: "{{ ansible_facts.volkit_health.reasons | join(', ') }}"
  when: ansible_facts.volkit_health.state == 'critical'

- name: Every host of the group must have a controller
  volkit.raid.facts:
    fail_on_missing: true
'''

RETURN = r'''
ansible_facts:
  description: The facts gathered.
  returned: always
  type: complex
  contains:
    volkit:
      description:
        - The document of C(volkit all json) as volkit printed it, format
          1.x, with C(json_format_version), C(volkit) (version, argv,
          exit_status, messages), C(health) and C(controllers).
      returned: always
      type: dict
      sample:
        json_format_version: [1, 0]
        health: {state: ok, reasons: []}
        controllers: []
    volkit_health:
      description:
        - The health verdict, the one C(volkit all health) prints. C(state)
          is one of C(ok), C(warning), C(critical) and C(unknown), C(reasons)
          lists the findings, worst first.
      returned: always
      type: dict
      sample: {state: warning, reasons: ["controller 0 volume 0 (IM) resyncing 30%"]}
volkit_exit_status:
  description: volkit's exit status (0 read completely, 1 a read failed, 2 no driver or controller).
  returned: always
  type: int
  sample: 0
'''

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.volkit.raid.plugins.module_utils.volkit_command import (
    parse_document, run_volkit, volkit_messages, volkit_path_option)


def main():
    module = AnsibleModule(
        argument_spec=dict(
            volkit_path=volkit_path_option(),
            fail_on_missing=dict(type='bool', default=False),
        ),
        supports_check_mode=True,
    )
    rc, out, err = run_volkit(module, ['all', 'json'])
    if rc not in (0, 1, 2):
        module.fail_json(msg='volkit all json failed with exit status %d: %s' % (rc, err.strip()),
                         rc=rc, stdout=out, stderr=err)
    document = parse_document(module, 'all json', rc, out, err, 'json_format_version')
    health = document.get('health')
    if not isinstance(health, dict):
        module.fail_json(msg='volkit all json printed a document without a health verdict',
                         rc=rc, stdout=out, stderr=err)
    messages = volkit_messages(document) or [err.strip() or 'exit status %d' % rc]
    if rc == 2 and module.params['fail_on_missing']:
        module.fail_json(msg='no RAID controller: %s' % '; '.join(messages), rc=rc)
    if rc == 1:
        for text in messages:
            module.warn('volkit: %s' % text)
    module.exit_json(changed=False, volkit_exit_status=rc,
                     ansible_facts=dict(volkit=document, volkit_health=health))


if __name__ == '__main__':
    main()
