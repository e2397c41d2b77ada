#pragma once

// Sends the page to the default printer as the Print command's Yes
// answers would; 0 only when the spooler accepted it.
int printPage(bool blackAndWhite);
