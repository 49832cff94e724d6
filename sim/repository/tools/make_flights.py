#!/usr/bin/env python3
"""Writes tables/flights.json: carriers, connections, a few hundred flights and their bookings.

The data is made up (deterministic, seeded) and committed; run this script again only to change it:
    python3 sim/repository/tools/make_flights.py
"""
import datetime
import json
import os
import random

rng = random.Random(20240607)
CLIENT = "001"

CARRIERS = [
    ("AA", "American Airlines", "USD", "http://www.aa.com"),
    ("AF", "Air France", "EUR", "http://www.airfrance.fr"),
    ("AZ", "Alitalia", "EUR", "http://www.alitalia.it"),
    ("BA", "British Airways", "GBP", "http://www.britishairways.com"),
    ("DL", "Delta Airlines", "USD", "http://www.delta-air.com"),
    ("JL", "Japan Airlines", "JPY", "http://www.jal.co.jp"),
    ("LH", "Lufthansa", "EUR", "http://www.lufthansa.com"),
    ("QF", "Qantas Airways", "AUD", "http://www.qantas.com.au"),
    ("SQ", "Singapore Airlines", "SGD", "http://www.singaporeair.com"),
    ("UA", "United Airlines", "USD", "http://www.ual.com"),
]
CURRENCY = {c[0]: c[2] for c in CARRIERS}

# carrier, connection, from (country, city, airport), to, minutes, departure, distance, unit, plane
CONNECTIONS = [
    ("AA", "0017", ("US", "NEW YORK", "JFK"), ("US", "SAN FRANCISCO", "SFO"), 361, "133000", 2572, "MI", "767-200"),
    ("AA", "0064", ("US", "SAN FRANCISCO", "SFO"), ("US", "NEW YORK", "JFK"), 321, "090000", 2572, "MI", "767-200"),
    ("AF", "0006", ("FR", "PARIS", "CDG"), ("US", "NEW YORK", "JFK"), 500, "103000", 5850, "KM", "777-200"),
    ("AF", "0007", ("US", "NEW YORK", "JFK"), ("FR", "PARIS", "CDG"), 455, "183000", 5850, "KM", "777-200"),
    ("AZ", "0555", ("IT", "ROME", "FCO"), ("DE", "FRANKFURT", "FRA"), 125, "190000", 845, "KM", "A319"),
    ("AZ", "0788", ("IT", "ROME", "FCO"), ("JP", "TOKYO", "NRT"), 775, "120000", 9850, "KM", "777-200"),
    ("AZ", "0789", ("JP", "TOKYO", "NRT"), ("IT", "ROME", "FCO"), 940, "114500", 9850, "KM", "777-200"),
    ("BA", "0117", ("GB", "LONDON", "LHR"), ("US", "NEW YORK", "JFK"), 475, "081500", 5540, "KM", "747-400"),
    ("BA", "0902", ("GB", "LONDON", "LHR"), ("DE", "FRANKFURT", "FRA"), 100, "071000", 655, "KM", "A320"),
    ("DL", "0106", ("US", "NEW YORK", "JFK"), ("DE", "FRANKFURT", "FRA"), 475, "193500", 3851, "MI", "A330-300"),
    ("DL", "1699", ("US", "NEW YORK", "JFK"), ("US", "SAN FRANCISCO", "SFO"), 382, "171500", 2572, "MI", "767-200"),
    ("DL", "1984", ("US", "SAN FRANCISCO", "SFO"), ("US", "NEW YORK", "JFK"), 325, "100000", 2572, "MI", "767-200"),
    ("JL", "0407", ("JP", "TOKYO", "NRT"), ("DE", "FRANKFURT", "FRA"), 725, "133000", 9100, "KM", "747-400"),
    ("JL", "0408", ("DE", "FRANKFURT", "FRA"), ("JP", "TOKYO", "NRT"), 675, "202500", 9100, "KM", "747-400"),
    ("LH", "0400", ("DE", "FRANKFURT", "FRA"), ("US", "NEW YORK", "JFK"), 444, "101000", 6162, "KM", "A340-600"),
    ("LH", "0401", ("US", "NEW YORK", "JFK"), ("DE", "FRANKFURT", "FRA"), 435, "183000", 6162, "KM", "A340-600"),
    ("LH", "0402", ("DE", "FRANKFURT", "FRA"), ("US", "NEW YORK", "EWR"), 455, "133000", 6217, "KM", "747-400"),
    ("LH", "2402", ("DE", "FRANKFURT", "FRA"), ("DE", "BERLIN", "BER"), 65, "103000", 555, "KM", "A321"),
    ("LH", "2407", ("DE", "BERLIN", "BER"), ("DE", "FRANKFURT", "FRA"), 65, "071000", 555, "KM", "A321"),
    ("QF", "0005", ("SG", "SINGAPORE", "SIN"), ("DE", "FRANKFURT", "FRA"), 822, "225000", 10300, "KM", "A380-800"),
    ("QF", "0006", ("DE", "FRANKFURT", "FRA"), ("SG", "SINGAPORE", "SIN"), 685, "215500", 10300, "KM", "A380-800"),
    ("SQ", "0002", ("SG", "SINGAPORE", "SIN"), ("US", "SAN FRANCISCO", "SFO"), 945, "170000", 8452, "MI", "777-200"),
    ("SQ", "0015", ("US", "SAN FRANCISCO", "SFO"), ("SG", "SINGAPORE", "SIN"), 985, "160000", 8452, "MI", "777-200"),
    ("SQ", "0158", ("SG", "SINGAPORE", "SIN"), ("ID", "JAKARTA", "CGK"), 85, "152500", 560, "KM", "A321"),
    ("SQ", "0988", ("SG", "SINGAPORE", "SIN"), ("JP", "TOKYO", "NRT"), 400, "164000", 5320, "KM", "A330-300"),
    ("UA", "0941", ("DE", "FRANKFURT", "FRA"), ("US", "SAN FRANCISCO", "SFO"), 690, "143000", 5685, "MI", "787-9"),
    ("UA", "3504", ("US", "SAN FRANCISCO", "SFO"), ("DE", "FRANKFURT", "FRA"), 620, "150000", 5685, "MI", "787-9"),
    ("UA", "3516", ("US", "NEW YORK", "JFK"), ("DE", "FRANKFURT", "FRA"), 445, "162000", 3851, "MI", "767-200"),
    ("UA", "3517", ("DE", "FRANKFURT", "FRA"), ("US", "NEW YORK", "JFK"), 495, "104000", 3851, "MI", "767-200"),
]

SEATS = {  # economy, business, first
    "A319": (120, 8, 0), "A320": (150, 12, 0), "A321": (170, 20, 0), "A330-300": (260, 36, 8),
    "A340-600": (300, 42, 8), "A380-800": (400, 80, 14), "747-400": (330, 52, 16), "767-200": (180, 30, 6),
    "777-200": (280, 40, 10), "787-9": (220, 36, 0),
}
BASE_FARE = {"USD": 1.0, "EUR": 0.92, "GBP": 0.8, "JPY": 150.0, "AUD": 1.5, "SGD": 1.35}
FIRST_NAMES = ["Anna", "Ben", "Clara", "David", "Eva", "Felix", "Greta", "Hugo", "Ida", "Jonas", "Karin", "Lars",
               "Mia", "Noah", "Olga", "Paul", "Rita", "Sven", "Tara", "Ugo", "Vera", "Willi", "Yuki", "Zoe"]
LAST_NAMES = ["Adler", "Berger", "Costa", "Dubois", "Eriksson", "Fischer", "Garcia", "Hansen", "Ito", "Jansen",
              "Keller", "Lopez", "Moreau", "Nakamura", "Olsen", "Peters", "Rossi", "Schmidt", "Tanaka", "Wagner"]


def time_plus(hhmmss, minutes):
    t = datetime.datetime(2000, 1, 1, int(hhmmss[:2]), int(hhmmss[2:4])) + datetime.timedelta(minutes=minutes)
    return t.strftime("%H%M%S"), (t.date() - datetime.date(2000, 1, 1)).days


def money(value):
    return f"{value:.2f}"


def table(name, text, fields, rows):
    return {"name": name, "text": text, "fields": fields, "rows": rows}


def field(name, type_, text, length=None, decimals=None):
    f = {"name": name, "type": type_}
    if length is not None:
        f["length"] = length
    if decimals is not None:
        f["decimals"] = decimals
    f["text"] = text
    return f


def main():
    scarr = [[CLIENT, c, n, cur, url] for c, n, cur, url in CARRIERS]
    spfli, sflight, sbook = [], [], []
    book_id = 0
    start = datetime.date(2024, 1, 8)
    for carrid, connid, frm, to, minutes, dep, distance, unit, plane in CONNECTIONS:
        arr, days = time_plus(dep, minutes)
        spfli.append([CLIENT, carrid, connid, frm[0], frm[1], frm[2], to[0], to[1], to[2], minutes, dep, arr,
                      f"{distance:.4f}", unit, "", days])
        economy, business, first = SEATS[plane]
        currency = CURRENCY[carrid]
        fare = round(BASE_FARE[currency] * (150 + minutes * 1.1 + rng.randint(0, 200)), 2)
        date = start + datetime.timedelta(days=rng.randint(0, 13))
        for _ in range(14):
            occupied = [rng.randint(seats // 3, seats) if seats else 0 for seats in (economy, business, first)]
            price = round(fare * rng.uniform(0.85, 1.25), 2)
            payments = round(price * occupied[0] + 2.5 * price * occupied[1] + 4 * price * occupied[2], 2)
            fldate = date.strftime("%Y%m%d")
            sflight.append([CLIENT, carrid, connid, fldate, money(price), currency, plane,
                            economy, occupied[0], money(payments), business, occupied[1], first, occupied[2]])
            for _ in range(rng.randint(1, 4)):
                book_id += 1
                cls = rng.choice("YYYYYYCF" if first else "YYYYYYC")
                factor = {"Y": 1.0, "C": 2.5, "F": 4.0}[cls]
                amount = round(price * factor, 2)
                order = date - datetime.timedelta(days=rng.randint(3, 120))
                birth = datetime.date(1950, 1, 1) + datetime.timedelta(days=rng.randint(0, 20000))
                sbook.append([CLIENT, carrid, connid, fldate, f"{book_id:08d}", f"{rng.randint(1, 4000):08d}",
                              rng.choice("PPPB"), cls, money(amount), currency, order.strftime("%Y%m%d"),
                              "X" if rng.random() < 0.05 else "",
                              f"{rng.choice(FIRST_NAMES)} {rng.choice(LAST_NAMES)}", birth.strftime("%Y%m%d")])
            date += datetime.timedelta(days=rng.randint(14, 42))

    tables = [
        table("SCARR", "Carriers", [
            field("MANDT", "C", "Client", 3), field("CARRID", "C", "Carrier", 3),
            field("CARRNAME", "C", "Carrier name", 20), field("CURRCODE", "C", "Local currency", 5),
            field("URL", "C", "Web address", 255)], scarr),
        table("SPFLI", "Flight connections", [
            field("MANDT", "C", "Client", 3), field("CARRID", "C", "Carrier", 3),
            field("CONNID", "N", "Connection", 4), field("COUNTRYFR", "C", "Country from", 3),
            field("CITYFROM", "C", "City from", 20), field("AIRPFROM", "C", "Airport from", 3),
            field("COUNTRYTO", "C", "Country to", 3), field("CITYTO", "C", "City to", 20),
            field("AIRPTO", "C", "Airport to", 3), field("FLTIME", "I", "Flight time in minutes"),
            field("DEPTIME", "T", "Departure"), field("ARRTIME", "T", "Arrival"),
            field("DISTANCE", "P", "Distance", 5, 4), field("DISTID", "C", "Distance unit", 3),
            field("FLTYPE", "C", "Charter flag", 1), field("PERIOD", "b", "Arrival days later")], spfli),
        table("SFLIGHT", "Flights", [
            field("MANDT", "C", "Client", 3), field("CARRID", "C", "Carrier", 3),
            field("CONNID", "N", "Connection", 4), field("FLDATE", "D", "Flight date"),
            field("PRICE", "P", "Airfare", 8, 2), field("CURRENCY", "C", "Currency", 5),
            field("PLANETYPE", "C", "Aircraft type", 10), field("SEATSMAX", "I", "Economy seats"),
            field("SEATSOCC", "I", "Economy seats taken"), field("PAYMENTSUM", "P", "Bookings total", 9, 2),
            field("SEATSMAX_B", "I", "Business seats"), field("SEATSOCC_B", "I", "Business seats taken"),
            field("SEATSMAX_F", "I", "First class seats"), field("SEATSOCC_F", "I", "First class seats taken")],
            sflight),
        table("SBOOK", "Bookings", [
            field("MANDT", "C", "Client", 3), field("CARRID", "C", "Carrier", 3),
            field("CONNID", "N", "Connection", 4), field("FLDATE", "D", "Flight date"),
            field("BOOKID", "N", "Booking number", 8), field("CUSTOMID", "N", "Customer number", 8),
            field("CUSTTYPE", "C", "Customer type (P private, B business)", 1), field("CLASS", "C", "Class", 1),
            field("LOCCURAM", "P", "Price in local currency", 8, 2), field("LOCCURKEY", "C", "Local currency", 5),
            field("ORDER_DATE", "D", "Booking date"), field("CANCELLED", "C", "Cancelled", 1),
            field("PASSNAME", "C", "Passenger", 25), field("PASSBIRTH", "D", "Passenger's date of birth")], sbook),
    ]
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tables", "flights.json")
    with open(out, "w", encoding="utf-8") as f:
        f.write('{\n  "tables": [\n')
        for i, t in enumerate(tables):
            rows = t.pop("rows")
            head = json.dumps(t, ensure_ascii=False)[:-1]
            f.write("    " + head + ',\n      "rows": [\n')
            f.write(",\n".join("        " + json.dumps(r, ensure_ascii=False) for r in rows))
            f.write("\n      ]\n    }" + ("," if i + 1 < len(tables) else "") + "\n")
        f.write("  ]\n}\n")
    print(f"{out}: {len(scarr)} carriers, {len(spfli)} connections, {len(sflight)} flights, {len(sbook)} bookings")


if __name__ == "__main__":
    main()
