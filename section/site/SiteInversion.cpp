#include "section/site/SiteInversion.h"
