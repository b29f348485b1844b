#pragma once

// The windows of the stock documents, created with the program's other
// windows and attached once the data module exists.
void CreateDocumentsWindows();
void AttachDocumentsWindows();
void DestroyDocumentsWindows();
