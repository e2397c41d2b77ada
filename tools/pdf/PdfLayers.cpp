#include "tools/pdf/PdfLayers.h"

#include <exception>
#include <stdexcept>
#include <memory>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

namespace {

// The page being put together: its resources, its content, and the
// groups in their order.
struct LayeredPage {
    QPDFObjectHandle xObjects = QPDFObjectHandle::newDictionary();
    QPDFObjectHandle properties = QPDFObjectHandle::newDictionary();
    QPDFObjectHandle groups = QPDFObjectHandle::newArray();
    std::string content;
    QPDFObjectHandle mediaBox;
};

// The page as a form. Qt writes a page's content as one stream: that
// stream itself becomes the form, its data copied as Qt compressed it
// (qpdf's own form of a page decodes the content and compresses it again,
// some 150 ms for a dense page's layer).
QPDFObjectHandle formOf(QPDFPageObjectHelper& page)
{
    QPDFObjectHandle contents = page.getObjectHandle().getKey("/Contents");
    if (!contents.isStream())
        return page.getFormXObjectForPage();
    QPDFObjectHandle form = contents.getDict();
    form.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    form.replaceKey("/Subtype", QPDFObjectHandle::newName("/Form"));
    form.replaceKey("/BBox", page.getAttribute("/MediaBox", false).shallowCopy());
    form.replaceKey("/Resources", page.getAttribute("/Resources", false));
    return contents;
}

// The layer's page as a form drawn inside its group's marked content.
void addLayer(QPDF& pdf, LayeredPage& page, QPDF& source, const std::string& name)
{
    std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(source).getAllPages();
    if (pages.empty())
        throw std::runtime_error("a layer has no page");
    if (!page.mediaBox.isInitialized())
        page.mediaBox = pages.front().getAttribute("/MediaBox", false);
    QPDFObjectHandle form = pdf.copyForeignObject(formOf(pages.front()));
    QPDFObjectHandle group = pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /OCG >>"));
    group.replaceKey("/Name", QPDFObjectHandle::newUnicodeString(name));
    const std::string index = std::to_string(page.groups.getArrayNItems());
    page.xObjects.replaceKey("/Layer" + index, form);
    page.properties.replaceKey("/oc" + index, group);
    page.groups.appendItem(group);
    page.content += "/OC /oc" + index + " BDC q /Layer" + index + " Do Q EMC\n";
}

// The groups in the catalogue, all shown, listed in their order.
void declareGroups(QPDF& pdf, QPDFObjectHandle groups)
{
    QPDFObjectHandle shown = QPDFObjectHandle::newDictionary();
    shown.replaceKey("/Name", QPDFObjectHandle::newUnicodeString("kelvo"));
    shown.replaceKey("/Order", groups.shallowCopy());
    shown.replaceKey("/ON", groups.shallowCopy());
    shown.replaceKey("/OFF", QPDFObjectHandle::newArray());
    QPDFObjectHandle properties = QPDFObjectHandle::newDictionary();
    properties.replaceKey("/OCGs", groups);
    properties.replaceKey("/D", shown);
    pdf.getRoot().replaceKey("/OCProperties", properties);
}

} // namespace

std::string writeLayeredPdf(const std::vector<PdfLayer>& layers, const std::string& output)
{
    try {
        QPDF pdf;
        pdf.emptyPDF();
        // Their streams are read when the page is written.
        std::vector<std::unique_ptr<QPDF>> sources;
        LayeredPage page;
        for (const PdfLayer& layer : layers) {
            sources.push_back(std::make_unique<QPDF>());
            sources.back()->processFile(layer.path.c_str());
            addLayer(pdf, page, *sources.back(), layer.name);
        }
        if (!page.mediaBox.isInitialized())
            return "no layer to write";
        QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
        resources.replaceKey("/XObject", page.xObjects);
        resources.replaceKey("/Properties", page.properties);
        QPDFObjectHandle dictionary = QPDFObjectHandle::parse("<< /Type /Page >>");
        dictionary.replaceKey("/MediaBox", page.mediaBox.shallowCopy());
        dictionary.replaceKey("/Resources", resources);
        dictionary.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf, page.content));
        QPDFPageDocumentHelper(pdf).addPage(QPDFPageObjectHelper(pdf.makeIndirectObject(dictionary)),
                                            false);
        declareGroups(pdf, page.groups);
        QPDFObjectHandle info = QPDFObjectHandle::newDictionary();
        info.replaceKey("/Title", QPDFObjectHandle::newUnicodeString("kelvo"));
        pdf.getTrailer().replaceKey("/Info", pdf.makeIndirectObject(info));
        QPDFWriter writer(pdf, output.c_str());
        // Optional content came with PDF 1.5.
        writer.setMinimumPDFVersion("1.5");
        // The layers' streams go as Qt compressed them.
        writer.setDecodeLevel(qpdf_dl_none);
        writer.write();
        return {};
    } catch (const std::exception& e) {
        return e.what();
    }
}
