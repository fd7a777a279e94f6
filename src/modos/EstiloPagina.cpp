#include "EstiloPagina.h"

// Screen first, then print: A4, the overview table and each unit's section
// with its chart kept on one page (the sections in two columns), each
// student's record in compact rows of one line (the units by code: the
// overview names them) that may run on to the next page between two rows,
// never through one.
const char* const estiloPagina =
    "*{box-sizing:border-box}"
    "body{font-family:system-ui,'Segoe UI',Roboto,'Helvetica Neue',Arial,sans-serif;"
    "color:#1d2329;background:#fff;margin:0 auto;max-width:1200px;padding:24px;"
    "line-height:1.4}"
    "h1{font-size:1.7em;margin:0 0 .2em}"
    "h2{font-size:1.35em;border-bottom:2px solid #2f5d8a;padding-bottom:.2em;margin-top:1.6em}"
    "h3{font-size:1.1em;margin:1.2em 0 .4em}"
    ".sub{color:#56606b;margin:0 0 1em}"
    "a{color:#2f5d8a}"
    "table{border-collapse:collapse;margin:.4em 0 1em}"
    "th,td{border:1px solid #c9d1d9;padding:3px 8px;text-align:left;vertical-align:top}"
    "th{background:#eef2f6;font-weight:600}"
    "td.n,th.n{text-align:right;font-variant-numeric:tabular-nums}"
    ".totais td{text-align:right;font-size:1.15em;font-weight:600}"
    ".figuras td{text-align:right}"
    ".saltos{margin:0 0 1em}"
    "#visao{overflow-x:auto}.visao{width:100%}.visao th{font-size:.9em}"
    ".visao th,.visao td{padding:3px 6px}"
    ".visao th button{font:inherit;color:inherit;background:none;border:0;padding:0;"
    "cursor:pointer;text-align:inherit}"
    ".visao th[aria-sort=ascending] button::after{content:' \\25B2'}"
    ".visao th[aria-sort=descending] button::after{content:' \\25BC'}"
    ".visao td.nome{min-width:12em}"
    ".visao tr.abaixo td.taxa,.marca{color:#a8402b;font-weight:600;text-decoration:none}"
    ".legenda{font-size:.9em;color:#56606b;margin:0 0 1em}"
    "#indice-estudantes summary{cursor:pointer;color:#2f5d8a;font-weight:600;margin:.4em 0}"
    ".procura input{font:inherit;padding:2px 6px;width:20em;max-width:100%;margin-right:1em}"
    "ol.colunas{columns:16em;column-gap:2em;padding-left:1.4em;margin:.2em 0}"
    "ol.colunas li{break-inside:avoid}"
    ".uc,.aluno{border-top:1px solid #d8dee4;padding-top:.2em}"
    ".aluno{content-visibility:auto;contain-intrinsic-size:auto 600px}"
    ".ident{color:#56606b;margin:.1em 0 .4em}"
    ".grafico{display:block;max-width:100%;height:auto}"
    ".grafico text{font-size:12px;fill:#1d2329}"
    ".grafico .titulo{font-size:13px;fill:#56606b}"
    ".grafico .eixo{fill:none;stroke:#1d2329;stroke-width:1}"
    ".grafico .rp rect{fill:#c8553d}.grafico .ap rect{fill:#2a7f62}"
    ".amostra{display:inline-block;width:.9em;height:.9em;vertical-align:-.1em;margin:0 .3em 0 "
    "1em}"
    ".amostra.rp{background:#c8553d}.amostra.ap{background:#2a7f62}"
    ".registo{font-size:.9em}.registo th,.registo td{padding:2px 6px}"
    ".registo td:nth-child(3),.registo td:nth-child(n+5){text-align:right;"
    "font-variant-numeric:tabular-nums;white-space:nowrap}"
    ".registo td:last-child{text-align:left;white-space:normal}"
    ".registo tr.ap td:last-child{color:#1f6b52;font-weight:600}"
    ".registo tr.rp td:last-child{color:#a8402b;font-weight:600}"
    ".registo tr.av td:last-child{color:#8a5a00}"
    ".registo tr.pe td{color:#6a737d}"
    "footer{margin-top:2em;color:#6a737d;font-size:.85em}"
    "@page{size:A4;margin:12mm}"
    "@media print{body{max-width:none;padding:0;font-size:7.5pt;line-height:1.25}"
    "h1{font-size:14pt}h2{font-size:11pt;margin:.8em 0 .4em}h3{font-size:9pt}"
    "#visao{overflow:visible}"
    "th,td{padding:0 3px}table{margin:.2em 0 .4em}"
    "#unidades,#estudantes{break-before:page}"
    "#visao,.uc,.totais,tr{break-inside:avoid}"
    "#unidades{columns:2;column-gap:6mm}#unidades h2{column-span:all}"
    ".uc{padding-top:.3em}.uc h3{margin:0 0 .1em}.uc .ident{margin:0}"
    ".figuras{width:100%}.figuras th{font-weight:normal}"
    ".grafico{width:100%}.legenda{margin:0 0 .3em}"
    ".saltos,#indice-estudantes,.procura{display:none}"
    ".aluno{content-visibility:visible;padding-top:.3em}"
    ".aluno h3{display:inline;font-size:8.5pt;margin:0 1em 0 0}.aluno .ident{display:inline}"
    ".aluno>table{margin:.1em 0 .2em;break-before:avoid}.registo{font-size:.95em;width:100%}"
    ".registo th,.registo td{padding:0 2px}.registo th{font-weight:normal}"
    ".registo td:nth-child(n){white-space:normal}"
    ".registo td:nth-child(2),.registo th:nth-child(2){display:none}"
    "h2,h3{break-after:avoid}thead{display:table-header-group}"
    "a{color:inherit;text-decoration:none}}";

const char* const estiloHistorico =
    ".historico summary{cursor:pointer;color:#2f5d8a;margin:.2em 0 .6em}"
    ".historico table{font-size:.88em}.historico tr.correcao td{background:#fdf3dc}";

// Plain ES5 with the DOM of any current browser; the page's texts come
// from the JSON (made where the program's other texts are).
const char* const scriptPagina = R"((function () {
"use strict";
var dados = document.getElementById("dados-registos");
var D = dados ? JSON.parse(dados.textContent) : null;
var bloco = document.getElementById("registos");
var registos = bloco ? bloco.textContent.split("\n") : [];
function virgula(t) { return t.replace(".", ","); }
function valor(t) { return t ? virgula(t) : "-"; }
function efolio(i) { return i ? D.e[parseInt(i, 36)] : "-"; }
// The rows of a student's records from his line (RegistosPagina).
function linhasRegistos(texto) {
  var html = ["<thead><tr><th>", D.h.join("<th>"), "</tr></thead><tbody>"];
  var u = -1;
  texto.split(";").forEach(function (registo) {
    var f = registo.split(",");
    u = f[7] ? parseInt(f[7], 36) : u + 1;
    var uc = D.u[u] || ["?", "?", "?"];
    var letra = f[0].charAt(0), c = letra.toLowerCase();
    var opcao = letra !== c ? "1" : /^[ars]-?\d/.test(f[0]) ? f[0].slice(1) : "0";
    var resultado = c === "v" ? D.r.v.replace("#", virgula(f[0].slice(1))) : D.r[c];
    html.push("<tr class=", D.c[c], "><td>", uc[0], "<td>", uc[1], "<td>", uc[2], "<td>",
      D.o[opcao] || "", "<td>", efolio(f[4]), "<td>", efolio(f[5]), "<td>", efolio(f[6]),
      "<td>", valor(f[2]), "<td>", valor(f[3]), "<td>", f[1] || "-", "<td>", resultado, "\n");
  });
  return html.join("") + "</tbody>";
}
function mostraRegistos(artigo) {
  var tabela = artigo.querySelector("table.registo");
  if (!tabela || tabela.rows.length || !D) return;
  var linha = registos[+artigo.id.slice(3) - 1];
  if (!linha) return;
  tabela.innerHTML = linhasRegistos(linha);
  // Laid out from now on like any other part, so that nothing is clipped.
  artigo.style.contentVisibility = "visible";
}
var artigos = document.querySelectorAll("article.aluno");
function mostraTodos() { Array.prototype.forEach.call(artigos, mostraRegistos); }
if ("IntersectionObserver" in window) {
  var observador = new IntersectionObserver(function (entradas) {
    entradas.forEach(function (e) {
      if (!e.isIntersecting) return;
      observador.unobserve(e.target);
      mostraRegistos(e.target);
    });
  }, { rootMargin: "100% 0px" });
  Array.prototype.forEach.call(artigos, function (a) { observador.observe(a); });
} else {
  mostraTodos();
}
window.addEventListener("beforeprint", mostraTodos);

function numero(celula) {
  var m = celula.textContent.match(/-?\d+(?:,\d+)?/);
  return m ? parseFloat(m[0].replace(",", ".")) : NaN;
}
function ordena(tabela, coluna, th) {
  var sobe = th.getAttribute("aria-sort") !== "ascending";
  Array.prototype.forEach.call(th.parentNode.cells, function (c) { c.removeAttribute("aria-sort"); });
  th.setAttribute("aria-sort", sobe ? "ascending" : "descending");
  var numerica = th.classList.contains("n");
  var corpo = tabela.tBodies[0];
  var linhas = Array.prototype.map.call(corpo.rows, function (l, i) {
    var celula = l.cells[coluna];
    return { l: l, i: l.ordem === undefined ? (l.ordem = i) : l.ordem,
             v: numerica ? numero(celula) : celula.textContent.trim() };
  });
  linhas.sort(function (a, b) {
    var d;
    if (numerica) {
      if (isNaN(a.v) || isNaN(b.v)) d = isNaN(a.v) - isNaN(b.v);
      else d = sobe ? a.v - b.v : b.v - a.v;
    } else {
      d = a.v.localeCompare(b.v, "pt", { sensitivity: "base", numeric: true });
      if (!sobe) d = -d;
    }
    return d || a.i - b.i;
  });
  linhas.forEach(function (x) { corpo.appendChild(x.l); });
}
var visao = document.getElementById("tabela-ucs");
if (visao && visao.tHead && visao.tBodies.length) {
  Array.prototype.forEach.call(visao.tHead.rows[0].cells, function (th, coluna) {
    var botao = document.createElement("button");
    botao.type = "button";
    while (th.firstChild) botao.appendChild(th.firstChild);
    th.appendChild(botao);
    botao.addEventListener("click", function () { ordena(visao, coluna, th); });
  });
  var legenda = visao.nextElementSibling;
  if (legenda && D) legenda.appendChild(document.createTextNode(" " + D.t.ordena));
}

function chave(t) {
  return (t.normalize ? t.normalize("NFD") : t).replace(/[\u0300-\u036f]/g, "").toLowerCase();
}
var indice = document.getElementById("indice-estudantes");
var lista = indice && indice.querySelector("ol");
if (lista && D) {
  var itens = lista.children, chaves = null;
  var procura = document.createElement("p");
  procura.className = "procura";
  var campo = document.createElement("input");
  campo.type = "search";
  campo.setAttribute("aria-label", D.t.procura);
  campo.placeholder = D.t.procura;
  var conta = document.createElement("span");
  conta.className = "contagem";
  conta.setAttribute("aria-live", "polite");
  procura.appendChild(campo);
  procura.appendChild(conta);
  lista.parentNode.insertBefore(procura, lista);
  var mostraConta = function (n, q) {
    conta.textContent = (q ? n + " " + D.t.de + " " : "") + itens.length + " " + D.t.estudantes;
  };
  campo.addEventListener("input", function () {
    if (!chaves) chaves = Array.prototype.map.call(itens, function (li) { return chave(li.textContent); });
    var q = chave(campo.value.trim()), n = 0;
    for (var i = 0; i < itens.length; ++i) {
      var ve = !q || chaves[i].indexOf(q) >= 0;
      itens[i].hidden = !ve;
      if (ve) ++n;
    }
    mostraConta(n, q);
  });
  mostraConta(itens.length, "");
}
})();
)";
