#!/usr/bin/env python3
"""Checks a report page in headless chromium (driven by navegador.py).

    relatorio.py pagina PAGINA.html ESTATISTICAS.csv ESTUDANTES.txt ECRA.png
                 [--nome NOME] [--barras] [--procura TEXTO NUMERO...]
    relatorio.py impressao PAGINA.html
    relatorio.py folhas PAGINA.pdf ESTUDANTES.txt

pagina: opens the page as a user would, then checks
  - the overview table: one row per unit, each with the figures of the
    unit's section, linked to it; a click on a header sorts the rows by that
    column (numbers as numbers, dashes last), a second click the other way
    round;
  - the search of the students' index: typing TEXTO (for instance a name
    without its accents, in capitals) leaves visible exactly the students
    numbered NUMERO..., and the count says how many of how many;
  - once every record is laid out (as before printing): every unit's
    figures and the counts above its bars (grades 10 to 20) are those of
    the statistics file of --exportar, every student is there with one row
    per unit he takes, NOME (if given) shows as the text of a student's name
    and added no element;
  - the first screen (ECRA.png) is not blank; with --barras, the screen of
    the units' charts (ECRA-graficos.png) shows bars in both colours.
impressao: lays the page out for A4 paper (print media, the width inside the
  margins) and checks that no table, chart or row runs past the right edge:
  nothing printed is cut.
folhas: counts the pages of a PDF that chromium printed from the page and
  checks that they are at most one per 60 unit records plus ten.
Prints what it checked; exits 1 on any difference.
"""

import argparse
import html.parser
import math
import os
import re
import struct
import sys
import unicodedata
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from navegador import Navegador  # noqa: E402

FIGURAS = ("inscritos", "com-resultado", "em-avaliacao", "aprovados", "taxa", "media")
TRAVESSAO = "\u2014"


class LeitorDom(html.parser.HTMLParser):
    """Collects the units' figures and bars, the students' names and rows."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.unidades = []   # dicts: codigo, figures, barras {grade: count}
        self.alunos = []     # dicts: numero, nome, linhas
        self.elementos = {}  # element name -> count
        self._pilha = []     # (tag, classes, destination key or None)
        self._nota = None

    def handle_starttag(self, tag, atributos):
        atributos = dict(atributos)
        classes = (atributos.get("class") or "").split()
        self.elementos[tag] = self.elementos.get(tag, 0) + 1
        destino = None
        if tag == "article" and "uc" in classes:
            self.unidades.append({"barras": {}, "id": atributos.get("id")})
        elif tag == "article" and "aluno" in classes:
            self.alunos.append({"linhas": 0, "numero": "", "nome": ""})
        elif tag == "g" and "barra" in classes:
            self._nota = int(atributos["data-nota"])
        elif tag == "text" and "contagem" in classes:
            destino = "contagem"
        elif tag == "td" and len(classes) == 2 and classes[1] in FIGURAS and self._em("uc"):
            destino = classes[1]
        elif tag == "h3" and self._em("aluno"):
            destino = "titulo"
        elif tag == "span" and self._em("uc") and classes == ["codigo"]:
            destino = "codigo"
        elif tag == "tr" and self._em("aluno") and classes in (["ap"], ["rp"], ["pe"], ["av"]):
            self.alunos[-1]["linhas"] += 1
        if tag not in ("meta", "link", "br", "hr", "img", "input", "wbr"):
            self._pilha.append((tag, classes, destino))

    def _em(self, classe):
        return any(t == "article" and classe in c for t, c, _ in self._pilha)

    def handle_endtag(self, tag):
        while self._pilha:
            aberto = self._pilha.pop()
            if aberto[0] == tag:
                break
        if tag == "g":
            self._nota = None

    def handle_data(self, dados):
        if not self._pilha or self._pilha[-1][2] is None:
            return
        destino = self._pilha[-1][2]
        if destino == "contagem":
            self.unidades[-1]["barras"][self._nota] = dados
        elif destino == "titulo":
            # "NUMBER — NAME": the number holds no dash, the name may.
            titulo = self.alunos[-1].get("titulo", "") + dados
            self.alunos[-1]["titulo"] = titulo
            self.alunos[-1]["numero"], _, self.alunos[-1]["nome"] = titulo.partition(" \u2014 ")
        else:
            self.unidades[-1][destino] = self.unidades[-1].get(destino, "") + dados


def le_csv(caminho):
    with open(caminho, encoding="cp1252", newline="") as ficheiro:
        return [linha.rstrip("\r\n").split(";") for linha in ficheiro][1:]


def le_estudantes(caminho):
    """(number, name, unit lines) per student block, as the program reads them."""
    alunos = []
    with open(caminho, encoding="cp1252", newline="") as ficheiro:
        for linha in ficheiro:
            linha = linha.rstrip("\r\n")
            if linha.startswith("ALUNO;"):
                numero, _, nome = linha[6:].partition(";")
                alunos.append([numero, nome, 0])
            elif len(linha) > 1 and alunos:
                alunos[-1][2] += 1
    return alunos


def pixeis_png(caminho):
    """Width, height and the RGB(A) rows of an 8-bit PNG (no interlace)."""
    with open(caminho, "rb") as ficheiro:
        dados = ficheiro.read()
    assert dados[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    posicao, idat = 8, b""
    while posicao < len(dados):
        tamanho, tipo = struct.unpack(">I4s", dados[posicao:posicao + 8])
        corpo = dados[posicao + 8:posicao + 8 + tamanho]
        if tipo == b"IHDR":
            largura, altura, bits, cor = struct.unpack(">IIBB", corpo[:10])
        elif tipo == b"IDAT":
            idat += corpo
        posicao += 12 + tamanho
    assert bits == 8 and cor in (2, 6), "only 8-bit RGB or RGBA"
    canais = 3 if cor == 2 else 4
    bruto, passo = zlib.decompress(idat), largura * canais
    linhas, anterior = [], bytearray(passo)
    for y in range(altura):
        filtro = bruto[y * (passo + 1)]
        linha = bytearray(bruto[y * (passo + 1) + 1:(y + 1) * (passo + 1)])
        for x in range(passo):
            a = linha[x - canais] if x >= canais else 0
            b = anterior[x]
            c = anterior[x - canais] if x >= canais else 0
            if filtro == 1:
                linha[x] = (linha[x] + a) & 0xFF
            elif filtro == 2:
                linha[x] = (linha[x] + b) & 0xFF
            elif filtro == 3:
                linha[x] = (linha[x] + (a + b) // 2) & 0xFF
            elif filtro == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                linha[x] = (linha[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        linhas.append(bytes(linha))
        anterior = linha
    return largura, altura, canais, linhas


def verifica_ecra(caminho, com_barras):
    """The screenshot is not blank; with com_barras it shows bars in both colours."""
    largura, altura, canais, linhas = pixeis_png(caminho)
    cores = {}
    for linha in linhas:
        for x in range(0, len(linha), canais * 2):  # every second pixel is enough
            cor = linha[x:x + 3]
            cores[cor] = cores.get(cor, 0) + 1
    total = sum(cores.values())
    fundo = max(cores.values())
    barras = sum(n for cor, n in cores.items() if cor in (b"\x2a\x7f\x62", b"\xc8\x55\x3d"))
    print(f"ecrã {largura}x{altura}: {len(cores)} cores, {100 * (total - fundo) / total:.1f} % "
          f"fora do fundo, {barras} pontos de barras")
    return len(cores) > 16 and total - fundo > total // 100 and (barras > 0 or not com_barras)


def numero_celula(texto):
    """A cell of a numeric column as the page's script reads it; None for a dash."""
    m = re.search(r"-?\d+(?:,\d+)?", texto)
    return float(m.group(0).replace(",", ".")) if m else None


def sem_acentos(texto):
    return "".join(c for c in unicodedata.normalize("NFD", texto)
                   if not unicodedata.combining(c))


LINHAS_VISAO = ("Array.from(document.querySelectorAll('#tabela-ucs tbody tr'))"
                ".map(l => Array.from(l.cells, c => c.textContent.trim()))")


def verifica_visao(n, erros):
    """The overview's rows against the units' sections, and its sorting."""
    linhas = n.avalia(LINHAS_VISAO)
    seccoes = n.avalia(
        "Array.from(document.querySelectorAll('article.uc')).map(a => [a.id,"
        " a.querySelector('.codigo').textContent, Array.from(a.querySelectorAll('.figuras td'),"
        " c => c.textContent.trim())])")
    ligacoes = n.avalia("Array.from(document.querySelectorAll('#tabela-ucs tbody tr a'),"
                        " a => a.getAttribute('href'))")
    if len(linhas) != len(seccoes):
        erros.append(f"visão geral: {len(linhas)} linhas, {len(seccoes)} secções de unidades")
        return
    for linha, (ancora, codigo, figuras), ligacao in zip(linhas, seccoes, ligacoes):
        # The rate of the overview may carry the sign of a unit below the course's.
        visao = linha[5:9] + [linha[9].replace("\u25bc", "").strip(), linha[10]]
        if linha[0] != codigo or ligacao != "#" + ancora or visao != figuras:
            erros.append(f"visão geral: linha {linha} != secção {ancora} {codigo} {figuras}")
    if not erros:
        print(f"visão geral: {len(linhas)} unidades, cada uma com as figuras da sua secção")

    def ordem_de(coluna):
        return [l[coluna] for l in n.avalia(LINHAS_VISAO)]

    for coluna, numerica in ((9, True), (1, False), (0, True)):
        seletor = f"#tabela-ucs thead th:nth-child({coluna + 1}) button"
        for sobe in (True, False):
            n.clica(seletor)
            obtida = ordem_de(coluna)
            if numerica:
                valores = [numero_celula(v) for v in obtida]
                numeros = [v for v in valores if v is not None]
                certo = (numeros == sorted(numeros, reverse=not sobe)
                         and valores == numeros + [None] * (len(valores) - len(numeros)))
            else:
                chaves = [sem_acentos(v).casefold() for v in obtida]
                certo = chaves == sorted(chaves, reverse=not sobe)
            estado = n.avalia(f"document.querySelector('#tabela-ucs thead th:nth-child("
                              f"{coluna + 1})').getAttribute('aria-sort')")
            if not certo or estado != ("ascending" if sobe else "descending"):
                erros.append(f"ordenação pela coluna {coluna} ({estado}): {obtida}")
    if sorted(map(tuple, n.avalia(LINHAS_VISAO))) != sorted(map(tuple, linhas)):
        erros.append("a ordenação mudou as linhas da tabela")
    else:
        print("visão geral: um clique ordena por taxa, por nome e por código, outro inverte")


def verifica_procura(n, texto, esperados, erros):
    """Types `texto` in the index's search: only the students numbered `esperados` stay."""
    n.clica("#indice-estudantes summary")
    total = n.avalia("document.querySelectorAll('#indice-estudantes li').length")
    n.escreve("#indice-estudantes input", texto)
    visiveis = n.avalia("Array.from(document.querySelectorAll('#indice-estudantes li'))"
                        ".filter(l => l.offsetParent !== null).map(l => l.textContent.split(' ')[0])")
    contagem = n.avalia("document.querySelector('#indice-estudantes .contagem').textContent")
    esperada = f"{len(esperados)} de {total} estudantes"
    if sorted(visiveis) != sorted(esperados) or contagem != esperada:
        erros.append(f"procura {texto!r}: visíveis {visiveis}, contagem {contagem!r}; "
                     f"esperados {esperados}, {esperada!r}")
    else:
        print(f"procura {texto!r}: {contagem}")
    n.avalia("(function (c) { c.value = ''; c.dispatchEvent(new Event('input')); })"
             "(document.querySelector('#indice-estudantes input'))")
    if n.avalia("document.querySelector('#indice-estudantes .contagem').textContent") != \
            f"{total} estudantes":
        erros.append("a procura apagada não mostra todos os estudantes")


def verifica_dom(dom, estatisticas, estudantes, nome_especial, erros):
    """The laid-out page against the statistics file and the student file."""
    leitor = LeitorDom()
    leitor.feed(dom)
    linhas = le_csv(estatisticas)
    if len(linhas) != len(leitor.unidades):
        erros.append(f"{len(leitor.unidades)} unidades na página, {len(linhas)} no ficheiro")
    antes = len(erros)
    for unidade, linha in zip(leitor.unidades, linhas):
        media = "" if unidade.get("media") == TRAVESSAO else unidade.get("media")
        pagina = [unidade.get("codigo"), unidade.get("inscritos"), unidade.get("aprovados"), media]
        pagina += [unidade["barras"].get(nota) for nota in range(10, 21)]
        pagina.append(unidade.get("em-avaliacao"))
        ficheiro = [linha[0], linha[3], linha[4], linha[5]] + linha[6:18]
        if pagina != ficheiro:
            erros.append(f"UC {linha[0]}: página {pagina} != ficheiro {ficheiro}")
        if sorted(unidade["barras"]) != list(range(21)):
            erros.append(f"UC {linha[0]}: barras {sorted(unidade['barras'])}")
    if len(erros) == antes:
        print(f"{len(leitor.unidades)} unidades: figuras e barras iguais às do ficheiro de "
              "estatísticas")

    alunos = le_estudantes(estudantes)
    pagina = [[a["numero"], a["nome"], a["linhas"]] for a in leitor.alunos]
    if pagina != alunos:
        diferentes = [(p, f) for p, f in zip(pagina, alunos) if p != f][:3]
        erros.append(f"estudantes: {len(pagina)} na página, {len(alunos)} no ficheiro; {diferentes}")
    else:
        print(f"{len(alunos)} estudantes, cada um com todas as suas unidades")

    if nome_especial is not None:
        if not any(a["nome"] == nome_especial for a in leitor.alunos):
            erros.append(f"o nome {nome_especial!r} não aparece como texto")
        elif any(t in leitor.elementos for t in ("img", "iframe")) or \
                leitor.elementos.get("script") != 3:
            erros.append(f"o nome criou elementos: {leitor.elementos}")
        else:
            print(f"o nome {nome_especial!r} aparece como texto e não criou elementos")


def pagina(opcoes):
    erros = []
    with Navegador() as n:
        tempos = n.abre("file://" + os.path.abspath(opcoes.pagina))
        print(f"aberta e carregada em {tempos['load']:.2f} s")
        n.captura(opcoes.ecra)
        graficos = opcoes.ecra.replace(".png", "-graficos.png")
        if opcoes.barras:
            n.avalia("document.getElementById('uc-1').scrollIntoView()")
            n.captura(graficos)
        verifica_visao(n, erros)
        if opcoes.procura:
            verifica_procura(n, opcoes.procura[0], opcoes.procura[1:], erros)
        # Every record laid out, as before printing; then the whole document.
        n.avalia("window.dispatchEvent(new Event('beforeprint'))")
        dom = n.avalia("document.documentElement.outerHTML")
    verifica_dom(dom, opcoes.estatisticas, opcoes.estudantes, opcoes.nome, erros)
    if not verifica_ecra(opcoes.ecra, False):
        erros.append("o primeiro ecrã está em branco")
    if opcoes.barras and not verifica_ecra(graficos, True):
        erros.append("o ecrã dos gráficos não mostra barras")
    return erros


# A4 inside the page's margins of 12 mm, in CSS pixels (96 per inch).
LARGURA_IMPRESSA = round((210 - 2 * 12) / 25.4 * 96)


def impressao(opcoes):
    erros = []
    with Navegador(largura=LARGURA_IMPRESSA) as n:
        n.abre("file://" + os.path.abspath(opcoes.pagina))
        n.comando("Emulation.setEmulatedMedia", {"media": "print"})
        n.avalia("window.dispatchEvent(new Event('beforeprint'))")
        largos = n.avalia(
            "Array.from(document.querySelectorAll('table, tr, svg, h1, h2, h3, p'))"
            f".filter(e => e.getBoundingClientRect().right > {LARGURA_IMPRESSA} + 0.5)"
            ".slice(0, 5).map(e => e.tagName + ' ' + (e.className.baseVal ?? e.className) + ' '"
            " + Math.round(e.getBoundingClientRect().right))")
        linhas = n.avalia("document.querySelectorAll('.registo tr').length")
    if largos:
        erros.append(f"impresso em A4, passam da margem direita ({LARGURA_IMPRESSA} px): {largos}")
    else:
        print(f"impresso em A4: nada passa da largura de {LARGURA_IMPRESSA} px ({linhas} linhas "
              "de registos)")
    return erros


def folhas(opcoes):
    with open(opcoes.pdf, "rb") as ficheiro:
        dados = ficheiro.read()
    paginas = len(re.findall(rb"/Type\s*/Page(?![s\w])", dados))
    contagens = [int(c) for c in re.findall(rb"/Type\s*/Pages\b[^>]*?/Count\s+(\d+)", dados)]
    registos = sum(a[2] for a in le_estudantes(opcoes.estudantes))
    limite = math.ceil(registos / 60) + 10
    print(f"{registos} registos: {paginas} páginas A4 impressas (no máximo {limite}); "
          f"PDF de {len(dados)} bytes")
    erros = []
    if contagens and max(contagens) != paginas:
        erros.append(f"o PDF diz ter {max(contagens)} páginas e tem {paginas}")
    if paginas == 0 or paginas > limite:
        erros.append(f"{paginas} páginas impressas para {registos} registos (no máximo {limite})")
    return erros


def main():
    argumentos = argparse.ArgumentParser(description="Checks a report page in chromium.")
    modos = argumentos.add_subparsers(dest="modo", required=True)
    p = modos.add_parser("pagina")
    for nome in ("pagina", "estatisticas", "estudantes", "ecra"):
        p.add_argument(nome)
    p.add_argument("--nome")
    p.add_argument("--barras", action="store_true")
    p.add_argument("--procura", nargs="+")
    p = modos.add_parser("impressao")
    p.add_argument("pagina")
    p = modos.add_parser("folhas")
    p.add_argument("pdf")
    p.add_argument("estudantes")
    opcoes = argumentos.parse_args()
    erros = {"pagina": pagina, "impressao": impressao, "folhas": folhas}[opcoes.modo](opcoes)
    for erro in erros:
        print("ERRO:", erro)
    sys.exit(1 if erros else 0)


if __name__ == "__main__":
    main()
