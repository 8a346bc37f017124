// The page's frame: head, style sheet and script. Everything is inline and
// the content policy allows no fetch at all, so the page opens offline and
// can be mailed as it is.
#include "HtmlText.h"
#include "PageParts.h"

namespace zelreport {

namespace {

const char kStyle[] = R"CSS(
:root{--ink:#1f2933;--muted:#616e7c;--line:#d9e2ec;--bg:#f5f7fa;--used:#2f855a;--excl:#9b2c2c;--accent:#3467a8}
*{box-sizing:border-box}
body{margin:0;font:14px/1.45 system-ui,-apple-system,"Segoe UI",Roboto,"DejaVu Sans",sans-serif;color:var(--ink);background:#fff}
header{padding:20px 32px 12px;border-bottom:1px solid var(--line);background:var(--bg)}
h1{margin:0;font-size:22px}
h2{font-size:18px;margin:28px 0 10px;padding-bottom:4px;border-bottom:2px solid var(--line)}
h3{font-size:14px;margin:14px 0 6px}
.sub{color:var(--muted);margin:4px 0 0}
nav{padding:6px 32px;border-bottom:1px solid var(--line);font-size:13px}
nav a{margin-right:16px;color:var(--accent);text-decoration:none}
main{padding:0 32px 40px;max-width:1200px}
.facts{display:grid;grid-template-columns:max-content 1fr;gap:2px 16px;margin:0}
.facts dt{color:var(--muted)}.facts dd{margin:0}
.warn{background:#fffbea;border-left:4px solid #d69e2e;padding:6px 10px;margin:8px 0}
.note{color:var(--muted);font-style:italic}
.controls{display:flex;gap:12px;align-items:center;margin:6px 0 8px;flex-wrap:wrap}
.controls input,.controls select,.controls button{font:inherit;padding:3px 6px}
table{border-collapse:collapse;width:100%}
#field-table{table-layout:fixed}
#field-table td:first-child,#field-table td:nth-child(2){overflow-wrap:anywhere}
th,td{padding:4px 8px;border-bottom:1px solid var(--line);text-align:left;vertical-align:top}
th{background:var(--bg);position:sticky;top:0;cursor:pointer;user-select:none}
th[aria-sort=ascending]::after{content:" \25B2"}th[aria-sort=descending]::after{content:" \25BC"}
td.num{text-align:right;white-space:nowrap}
td.steps{font-size:12px;color:var(--muted)}td.excluded,td.used{font-size:13px}
.used{color:var(--used)}.excluded{color:var(--excl)}
.pbar{display:inline-block;width:80px;height:10px;background:var(--line);margin-right:6px;vertical-align:middle}
.pbar span{display:block;height:100%;background:var(--accent)}
.rank{display:grid;grid-template-columns:minmax(120px,max-content) 1fr 60px;gap:3px 10px;align-items:center}
.rank .bar{height:14px;background:var(--accent)}
details.panel{border:1px solid var(--line);border-radius:4px;margin:6px 0}
details.panel>summary{padding:6px 10px;cursor:pointer;background:var(--bg)}
details.panel[open]>summary{border-bottom:1px solid var(--line)}
.panel .name{font-weight:600;overflow-wrap:anywhere}.panel .meta{color:var(--muted);margin-left:8px;font-size:12px}
.panel .body{padding:8px 12px;display:grid;grid-template-columns:minmax(240px,340px) 1fr;gap:12px}
.panel ol{margin:0;padding-left:18px}
.terms td:last-child{white-space:nowrap;width:170px}
figure{margin:0 0 10px}figcaption{font-weight:600;margin-bottom:2px}
.figures{font-size:12px;color:var(--muted)}
svg{display:block;max-width:100%;height:auto}
svg text{font-size:11px;fill:var(--muted)}
svg .axis{stroke:#9aa5b1;stroke-width:1}
svg .bars{fill:#7ea6d8}
svg .mean{stroke:#1f2933;stroke-width:1.5;stroke-dasharray:4 3}
svg .cut{stroke:#c53030;stroke-width:1.5}
svg .edge{stroke:#2f855a;stroke-width:1.5;stroke-dasharray:2 2}
svg .cat{fill:#7ea6d8}svg .more{fill:#cbd2d9}
.key{font-size:12px;color:var(--muted)}.key i{display:inline-block;width:14px;height:3px;vertical-align:middle;margin:0 4px 0 10px}
.key .mean{background:#1f2933}.key .cut{background:#c53030}.key .edge{background:#2f855a}
.swatch{display:inline-block;width:10px;height:10px;margin:0 3px 0 10px;vertical-align:baseline}
svg .g0{fill:#4e79a7}svg .g1{fill:#f28e2b}svg .g2{fill:#e15759}svg .g3{fill:#76b7b2}svg .g4{fill:#59a14f}
svg .g5{fill:#edc948}svg .g6{fill:#b07aa1}svg .g7{fill:#ff9da7}svg .g8{fill:#9c755f}svg .g9{fill:#6b6ecf}
.swatch.g0{background:#4e79a7}.swatch.g1{background:#f28e2b}.swatch.g2{background:#e15759}.swatch.g3{background:#76b7b2}.swatch.g4{background:#59a14f}
.swatch.g5{background:#edc948}.swatch.g6{background:#b07aa1}.swatch.g7{background:#ff9da7}.swatch.g8{background:#9c755f}.swatch.g9{background:#6b6ecf}
svg .flow{opacity:.35}svg .node-in{fill:#3467a8}svg .node-rec{fill:#2f855a}svg .node-ex{fill:#c05621}
.hidden{display:none}
@media print{
  nav,.controls{display:none}
  body{font-size:11px}main,header{padding-left:0;padding-right:0}
  th{position:static}
  details.panel{break-inside:avoid}
  details.panel>summary{background:none}
  .pbar span,.rank .bar,.swatch{print-color-adjust:exact;-webkit-print-color-adjust:exact}
}
)CSS";

const char kScript[] = R"JS(
(function(){
  var table=document.getElementById('field-table');
  if(table){
    var body=table.tBodies[0];
    Array.prototype.forEach.call(table.tHead.rows[0].cells,function(th,col){
      th.addEventListener('click',function(){
        var up=th.getAttribute('aria-sort')!=='ascending';
        Array.prototype.forEach.call(th.parentNode.cells,function(c){c.removeAttribute('aria-sort');});
        th.setAttribute('aria-sort',up?'ascending':'descending');
        var num=th.dataset.type==='num';
        var rows=Array.prototype.slice.call(body.rows);
        rows.sort(function(a,b){
          var x=a.cells[col].dataset.v,y=b.cells[col].dataset.v,r;
          if(num){x=parseFloat(x);y=parseFloat(y);x=isNaN(x)?-1:x;y=isNaN(y)?-1:y;r=x-y;}
          else{r=x<y?-1:x>y?1:0;}
          return up?r:-r;
        });
        rows.forEach(function(r){body.appendChild(r);});
      });
    });
  }
  var text=document.getElementById('filter'),usage=document.getElementById('usage');
  function filter(){
    var q=text.value.toLowerCase(),u=usage.value;
    document.querySelectorAll('[data-name]').forEach(function(el){
      var show=(el.dataset.name.toLowerCase().indexOf(q)>=0||(el.dataset.origin||'').toLowerCase().indexOf(q)>=0)&&
               (u==='all'||el.dataset.usage===u);
      el.classList.toggle('hidden',!show);
    });
  }
  if(text){text.addEventListener('input',filter);usage.addEventListener('change',filter);}
  function all(open){document.querySelectorAll('details.panel').forEach(function(d){d.open=open;});}
  function openHash(){
    // A fragment that is no valid escape ('#%') is taken as it stands.
    var id=location.hash.slice(1);
    try{id=decodeURIComponent(id);}catch(e){}
    var el=id&&document.getElementById(id);
    if(id==='all'){all(true);return;}
    if(el&&el.tagName==='DETAILS'){el.open=true;el.scrollIntoView();}
  }
  var ex=document.getElementById('expand-all'),co=document.getElementById('collapse-all');
  if(ex){ex.addEventListener('click',function(){all(true);});co.addEventListener('click',function(){all(false);});}
  var closed=[];
  window.addEventListener('beforeprint',function(){
    closed=Array.prototype.filter.call(document.querySelectorAll('details.panel'),function(d){return !d.open;});
    closed.forEach(function(d){d.open=true;});
  });
  window.addEventListener('afterprint',function(){closed.forEach(function(d){d.open=false;});closed=[];});
  window.addEventListener('hashchange',openHash);openHash();
})();
)JS";

}  // namespace

void WritePageStart(const std::string& title, const std::string& subtitle, std::string* html) {
  *html += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
  // Nothing may be fetched: no scripts, styles, images or connections
  // beyond what the page carries inline.
  *html +=
      "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
      "style-src 'unsafe-inline'; script-src 'unsafe-inline'; img-src data:\">\n";
  *html += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
  *html += "<title>" + Escape(title) + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n";
  *html += "<header><h1>" + Escape(title) + "</h1><p class=\"sub\">" + Escape(subtitle) +
           "</p></header>\n";
  *html +=
      "<nav><a href=\"#run\">The run</a><a href=\"#fields\">Fields</a><a href=\"#ranking\">"
      "Predictive power</a><a href=\"#panels\">Field by field</a></nav>\n<main>\n";
}

void WritePageEnd(std::string* html) {
  *html += "</main>\n<script>";
  *html += kScript;
  *html += "</script>\n</body>\n</html>\n";
}

}  // namespace zelreport
