#!/usr/bin/env python3
"""Checks a report page as a browser rendered it.

    relatorio.py DOM.html ESTATISTICAS.csv ESTUDANTES.txt ECRA.png
                 [--nome NOME] [--barras]

DOM.html is chromium's --dump-dom of the page, ESTATISTICAS.csv the
statistics file that --exportar wrote for the same course, ESTUDANTES.txt the
course's student file and ECRA.png a --screenshot of the page. Checks that
every unit's figures and the counts above its bars (grades 10 to 20) are the
file's, that every student is there with one row per unit he takes, that NOME
(if given) shows as the text of a student's name and added no element, and
that the screenshot is not blank (with --barras: that it shows bars of the
charts in their colours). Prints what it checked; exits 1 on any
difference.
"""

import argparse
import html.parser
import struct
import sys
import zlib

FIGURAS = ("inscritos", "com-nota", "aprovados", "taxa", "media")


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
            self.unidades.append({"barras": {}})
        elif tag == "article" and "aluno" in classes:
            self.alunos.append({"linhas": 0, "numero": "", "nome": ""})
        elif tag == "g" and "barra" in classes:
            self._nota = int(atributos["data-nota"])
        elif tag == "text" and "contagem" in classes:
            destino = "contagem"
        elif tag == "td" and len(classes) == 2 and classes[1] in FIGURAS and self._em("uc"):
            destino = classes[1]
        elif tag == "span" and self._em("aluno") and classes in (["numero"], ["nome"]):
            destino = classes[0]
        elif tag == "span" and self._em("uc") and classes == ["codigo"]:
            destino = "codigo"
        elif tag == "tr" and self._em("aluno") and classes in (["ap"], ["rp"], ["pe"]):
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
        elif destino in ("numero", "nome"):
            self.alunos[-1][destino] = self.alunos[-1][destino] + dados
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


def main():
    argumentos = argparse.ArgumentParser(description="Checks a rendered report page.")
    for nome in ("dom", "estatisticas", "estudantes", "ecra"):
        argumentos.add_argument(nome)
    argumentos.add_argument("--nome")
    argumentos.add_argument("--barras", action="store_true")
    opcoes = argumentos.parse_args()
    dom, estatisticas, estudantes, ecra = opcoes.dom, opcoes.estatisticas, opcoes.estudantes, opcoes.ecra
    nome_especial = opcoes.nome
    leitor = LeitorDom()
    with open(dom, encoding="utf-8") as ficheiro:
        leitor.feed(ficheiro.read())
    erros = []

    linhas = le_csv(estatisticas)
    if len(linhas) != len(leitor.unidades):
        erros.append(f"{len(leitor.unidades)} unidades na página, {len(linhas)} no ficheiro")
    for unidade, linha in zip(leitor.unidades, linhas):
        media = "" if unidade.get("media") == "\u2014" else unidade.get("media")
        pagina = [unidade.get("codigo"), unidade.get("inscritos"), unidade.get("aprovados"), media]
        pagina += [unidade["barras"].get(nota) for nota in range(10, 21)]
        ficheiro = [linha[0], linha[3], linha[4], linha[5]] + linha[6:17]
        if pagina != ficheiro:
            erros.append(f"UC {linha[0]}: página {pagina} != ficheiro {ficheiro}")
        if sorted(unidade["barras"]) != list(range(21)):
            erros.append(f"UC {linha[0]}: barras {sorted(unidade['barras'])}")
    print(f"{len(leitor.unidades)} unidades: figuras e barras iguais às do ficheiro de estatísticas"
          if not erros else "\n".join(erros))

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
        elif any(t in leitor.elementos for t in ("img", "script", "iframe")):
            erros.append(f"o nome criou elementos: {leitor.elementos}")
        else:
            print(f"o nome {nome_especial!r} aparece como texto e não criou elementos")

    if not verifica_ecra(ecra, opcoes.barras):
        erros.append("o ecrã está em branco ou sem gráficos")
    for erro in erros:
        print("ERRO:", erro)
    sys.exit(1 if erros else 0)


if __name__ == "__main__":
    main()
