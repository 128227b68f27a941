// The pages' names as scripts and logs print them ("page 5 (flying)").
#pragma once

// "unknown" for a number no page has.
const char* pageName(int page);
