#include "section/site/SiteLines.h"
