// The host's user-interface font, shared by every panel and control of the process.
#pragma once

class CFont;

class CKelGuiFont {
public:
    // Created on first use; lives until the process ends.
    static CFont* GetFont();
};
