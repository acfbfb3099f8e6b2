// LIST: the table of every controller the driver knows.
#pragma once

// 1 when at least one controller was listed on the open control node
// `handle`, 2 when there is none.
int ListControllers(int handle);
